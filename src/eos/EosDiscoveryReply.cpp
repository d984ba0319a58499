// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosDiscoveryReply.h"

#include "osc/OSCPacketDecoder.h"

#include <string_view>

namespace pexlora {

namespace {

std::optional<std::uint16_t> portInRange(std::int64_t value) {
    if (value < 1 || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

// Reads a reply's bytes chunk by chunk; every read is bounds-checked first.
class ReplyReader {
public:
    explicit ReplyReader(std::span<const std::uint8_t> bytes)
        : m_bytes(bytes) {}

    // The bytes before the first zero byte; the chunk runs to the next multiple of
    // four from where it began, zero byte included.
    std::optional<std::span<const std::uint8_t>> chunk() {
        const std::size_t remaining = m_bytes.size() - m_pos;
        std::size_t length = 0;
        while (length < remaining && m_bytes[m_pos + length] != 0)
            ++length;
        if (length == remaining)
            return std::nullopt;
        const std::size_t padded = (length / 4 + 1) * 4;
        if (padded > remaining)
            return std::nullopt;
        const auto text = m_bytes.subspan(m_pos, length);
        m_pos += padded;
        return text;
    }

    std::optional<std::string_view> asciiString() {
        const auto bytes = chunk();
        if (!bytes)
            return std::nullopt;
        for (const std::uint8_t byte : *bytes) {
            if (byte >= 0x80)
                return std::nullopt;
        }
        return std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    }

    std::optional<std::int64_t> bigEndian(std::size_t width) {
        if (m_bytes.size() - m_pos < width)
            return std::nullopt;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < width; ++i)
            value = (value << 8) | m_bytes[m_pos + i];
        m_pos += width;
        if (width == 4)
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
        return static_cast<std::int64_t>(value);
    }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
};

// The raw name text of a reply: trimmed, and never empty.
std::optional<QString> rawNameText(const QString& text) {
    QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed;
}

} // namespace

EosConsoleName splitConsoleName(const QString& rawName) {
    const QString text = rawName.trimmed();
    const qsizetype open = text.lastIndexOf(QLatin1Char('('));
    const qsizetype close = text.lastIndexOf(QLatin1Char(')'));
    if (open >= 0 && close == text.size() - 1 && open < close) {
        const QString name = text.left(open).trimmed();
        const QString type = text.mid(open + 1, close - open - 1).trimmed();
        if (!name.isEmpty() && !type.isEmpty())
            return {name, type};
    }
    return {text, {}};
}

std::optional<std::uint16_t> discoveryPortFromText(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed[i] == QLatin1Char('+') || trimmed[i] == QLatin1Char('-'))) {
        negative = trimmed[i] == QLatin1Char('-');
        ++i;
    }
    if (i == trimmed.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < trimmed.size(); ++i) {
        const char16_t c = trimmed[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        // Saturate well above the range instead of overflowing on a long digit run.
        value = std::min<std::int64_t>(value * 10 + (c - u'0'), 1'000'000);
    }
    return portInRange(negative ? -value : value);
}

EosDiscoveredHost makeDiscoveredHost(std::uint16_t port, const QString& rawName, const QString& ip) {
    EosConsoleName split = splitConsoleName(rawName);
    EosDiscoveredHost host;
    host.id = QStringLiteral("osc:") + ip + QLatin1Char(':') + QString::number(port);
    host.ip = ip;
    host.name = std::move(split.name);
    host.consoleType = split.type.isEmpty() ? QStringLiteral("OSC") : std::move(split.type);
    host.sessionState = EosSessionState::unknown;
    host.oscTCPPort = port;
    return host;
}

std::optional<EosDiscoveredHost> hostFromReplyMessage(const OSCMessage& message, const QString& ip) {
    if (message.values.size() < 2)
        return std::nullopt;
    std::optional<std::uint16_t> port;
    const OSCValue& first = message.values[0];
    if (const auto* i32 = std::get_if<std::int32_t>(&first))
        port = portInRange(*i32);
    else if (const auto* i64 = std::get_if<std::int64_t>(&first))
        port = portInRange(*i64);
    else if (const auto* text = std::get_if<std::string>(&first))
        port = discoveryPortFromText(QString::fromStdString(*text));
    if (!port)
        return std::nullopt;
    const auto* name = std::get_if<std::string>(&message.values[1]);
    if (!name)
        return std::nullopt;
    const auto rawName = rawNameText(QString::fromStdString(*name));
    if (!rawName)
        return std::nullopt;
    return makeDiscoveredHost(*port, *rawName, ip);
}

std::optional<EosDiscoveredHost> hostFromReplyBytes(std::span<const std::uint8_t> bytes, const QString& ip) {
    ReplyReader reader(bytes);
    const auto address = reader.asciiString();
    if (!address || *address != eosDiscoveryReplyPath)
        return std::nullopt;
    const auto tagString = reader.asciiString();
    if (!tagString || tagString->size() < 3 || tagString->front() != ',')
        return std::nullopt;
    const std::string_view tags = tagString->substr(1);

    std::optional<std::uint16_t> port;
    if (tags[0] == 'i' || tags[0] == 'h') {
        if (const auto value = reader.bigEndian(tags[0] == 'i' ? 4 : 8))
            port = portInRange(*value);
    } else if (tags[0] == 's') {
        if (const auto text = reader.asciiString())
            port = discoveryPortFromText(
                QString::fromLatin1(text->data(), static_cast<qsizetype>(text->size())));
    }
    if (!port || tags[1] != 's')
        return std::nullopt;
    const auto name = reader.chunk();
    if (!name)
        return std::nullopt;
    const auto rawName = rawNameText(
        QString::fromUtf8(reinterpret_cast<const char*>(name->data()), static_cast<qsizetype>(name->size())));
    if (!rawName)
        return std::nullopt;
    return makeDiscoveredHost(*port, *rawName, ip);
}

std::optional<EosDiscoveredHost> hostFromDatagram(std::span<const std::uint8_t> bytes, const QString& ip) {
    const auto decoded = decodeOSCPacket(bytes, OSCTextPolicy::lenientUTF8);
    if (decoded.ok() && decoded.value()) {
        if (const OSCMessage* message = decoded.value()->message();
            message && message->addressPattern.rawAddress() == eosDiscoveryReplyPath)
            return hostFromReplyMessage(*message, ip);
    }
    return hostFromReplyBytes(bytes, ip);
}

} // namespace pexlora
