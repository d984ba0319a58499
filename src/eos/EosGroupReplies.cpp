// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosGroupReplies.h"

#include "eos/EosPatchReply.h"
#include "model/Decimal.h"

#include <QStringList>
#include <string_view>

namespace pexlora::EosGroupReply {

namespace {

constexpr std::string_view getPrefix = "/eos/out/get/group/";
constexpr int maxChannel = 99999;

QString text(const OSCValue& value) {
    if (const auto* s = std::get_if<std::string>(&value))
        return QString::fromStdString(*s);
    if (const auto* i = std::get_if<std::int32_t>(&value))
        return QString::number(*i);
    if (const auto* i = std::get_if<std::int64_t>(&value))
        return QString::number(*i);
    if (const auto* f = std::get_if<float>(&value))
        return QString::number(static_cast<double>(*f), 'g', 9);
    if (const auto* d = std::get_if<double>(&value))
        return QString::number(*d, 'g', 17);
    return {};
}

std::optional<int> channel(const QString& word) {
    bool ok = false;
    const int number = word.trimmed().toInt(&ok);
    return ok && number >= 1 && number <= maxChannel ? std::optional<int>(number) : std::nullopt;
}

// Appends one "X", "X-Y" or "X Thru Y" to `out`; false once `limit` is reached.
bool appendRange(const QString& word, std::vector<int>& out, std::size_t limit, bool& cut) {
    const qsizetype dash = word.indexOf(u'-', 1);
    const auto first = channel(dash < 0 ? word : word.left(dash));
    const auto last = dash < 0 ? first : channel(word.mid(dash + 1));
    if (!first || !last)
        return true;
    const int step = *last >= *first ? 1 : -1;
    for (int number = *first;; number += step) {
        if (out.size() >= limit) {
            cut = true;
            return false;
        }
        out.push_back(number);
        if (number == *last)
            return true;
    }
}

// The group number of an address "/eos/out/get/group/<n>[/channels]", canonical.
std::optional<QString> groupOf(std::string_view rest) {
    return canonicalNumber(QString::fromUtf8(rest.data(), static_cast<qsizetype>(rest.size())));
}

// The first value: the index asked for, or not a valid one for a question by number.
std::optional<int> indexOf(const OSCMessage& message) {
    return eosNumberValue(message, 0);
}

} // namespace

std::optional<QString> canonicalNumber(const QString& text) {
    if (text.isEmpty() || text.size() > 12)
        return std::nullopt;
    for (const QChar c : text)
        if (!(c.isDigit() && c.unicode() < 128) && c != u'.')
            return std::nullopt;
    const auto value = readDecimal(text);
    if (!value || *value <= Decimal(0))
        return std::nullopt;
    return formatDecimal(*value);
}

std::vector<int> channelNumbers(std::span<const OSCValue> values, std::size_t limit, bool* cut) {
    std::vector<int> out;
    bool wasCut = false;
    for (const OSCValue& value : values) {
        QString words = text(value);
        words.replace(QStringLiteral(" Thru "), QStringLiteral("-"), Qt::CaseInsensitive);
        words.replace(u'+', u',').replace(u' ', u',');
        bool more = true;
        for (const QString& word : words.split(u',', Qt::SkipEmptyParts))
            if (!(more = appendRange(word, out, limit, wasCut)))
                break;
        if (!more)
            break;
    }
    if (cut)
        *cut = wasCut;
    return out;
}

std::optional<Any> read(const OSCMessage& message) {
    const std::string_view address = message.addressPattern.rawAddress();
    if (address == "/eos/out/event/show/loaded" || address == "/eos/out/event/show/cleared")
        return ShowChanged{};
    if (address == "/eos/out/notify/group") {
        Changed changed;
        // The first value is the desk's sequence number, not a group.
        for (std::size_t i = 1; i < message.values.size(); ++i) {
            const QString word = text(message.values[i]);
            const qsizetype dash = word.indexOf(u'-', 1);
            if (dash < 0) {
                if (auto number = canonicalNumber(word.trimmed()))
                    changed.numbers.push_back(*number);
            } else {
                // Ranges name whole groups only.
                bool cut = false;
                std::vector<int> run;
                appendRange(word, run, maxNamed + 1, cut);
                for (int number : run)
                    changed.numbers.push_back(QString::number(number));
            }
            if (changed.numbers.size() > maxNamed)
                return Changed{{}, true};
        }
        return changed;
    }
    if (!address.starts_with(getPrefix))
        return std::nullopt;
    std::string_view rest = address.substr(getPrefix.size());
    if (rest == "count") {
        const auto count = eosNumberValue(message, 0);
        if (!count || *count < 0)
            return std::nullopt;
        return Count{std::min(*count, maxGroups)};
    }
    constexpr std::string_view channelsSuffix = "/channels";
    if (rest.ends_with(channelsSuffix)) {
        const auto number = groupOf(rest.substr(0, rest.size() - channelsSuffix.size()));
        if (!number)
            return std::nullopt;
        Channels reply{*number, indexOf(message), {}, false};
        if (message.values.size() > 2)
            reply.channels = channelNumbers(
                std::span<const OSCValue>(message.values.data() + 2, message.values.size() - 2), maxChannels,
                &reply.cut);
        return reply;
    }
    const auto number = groupOf(rest);
    if (!number)
        return std::nullopt;
    Header header{*number, indexOf(message), {}, {}};
    if (message.values.size() > 1)
        header.uid = text(message.values[1]).left(64);
    if (message.values.size() > 2)
        header.label = text(message.values[2]).left(1000);
    return header;
}

} // namespace pexlora::EosGroupReply
