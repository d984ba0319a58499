// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosPatchReply.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

namespace pexlora {

namespace {

constexpr std::string_view entryPrefix = "/eos/out/get/patch/";
constexpr int maxChannel = 99999;
// The absolute addresses of 63,999 universes.
constexpr int maxAddress = 63999 * 512;
// A label or a model name is a line; a reply that sends more is cut.
constexpr qsizetype maxText = 256;

// The value positions of a part's detail list, as the desk orders it.
enum Field : std::size_t {
    indexField = 0,
    labelField = 2,
    manufacturerField = 3,
    modelField = 4,
    addressField = 5,
    intensityField = 6,
    partCountField = 19,
    endAddressField = 20,
};

std::optional<int> wholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<int> wholeReal(double value) {
    if (!std::isfinite(value) || value != std::floor(value) || value < std::numeric_limits<int>::min() ||
        value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

QString textValue(const OSCMessage& message, std::size_t position) {
    if (message.values.size() <= position)
        return {};
    const auto* text = std::get_if<std::string>(&message.values[position]);
    return text ? QString::fromStdString(*text).left(maxText) : QString();
}

int addressValue(const OSCMessage& message, std::size_t position) {
    const int address = eosNumberValue(message, position).value_or(0);
    return address >= 1 && address <= maxAddress ? address : 0;
}

// "<channel>[/<part>]" after the prefix, and what follows them: "" for the list itself.
struct PartAddress {
    int channel = 0;
    int part = 1;
    std::string_view rest;
};

std::optional<PartAddress> partAddress(std::string_view address) {
    if (!address.starts_with(entryPrefix))
        return std::nullopt;
    address.remove_prefix(entryPrefix.size());
    const auto nextWord = [&address] {
        const std::size_t slash = address.find('/');
        const std::string_view word = address.substr(0, slash);
        address = slash == std::string_view::npos ? std::string_view() : address.substr(slash + 1);
        return word;
    };
    const auto channel = wholeNumber(nextWord());
    const std::string_view partWord = nextWord();
    const auto part = partWord.empty() ? std::optional<int>(1) : wholeNumber(partWord);
    if (!channel || *channel < 1 || *channel > maxChannel || !part || *part < 1 || *part > 999)
        return std::nullopt;
    return PartAddress{*channel, *part, address};
}

} // namespace

bool EosPatchPart::intensityIsFine() const {
    return intensityAddress > 0 && address > 0 && endAddress == address + 1 && partCount <= 1;
}

QString EosPatchPart::dmxText(int address) {
    return QStringLiteral("%1/%2").arg((address - 1) / 512 + 1).arg((address - 1) % 512 + 1);
}

std::optional<double> eosRealValue(const OSCMessage& message, std::size_t position) {
    if (message.values.size() <= position)
        return std::nullopt;
    const OSCValue& value = message.values[position];
    double real = std::numeric_limits<double>::quiet_NaN();
    if (const auto* f = std::get_if<float>(&value))
        real = *f;
    else if (const auto* d = std::get_if<double>(&value))
        real = *d;
    else if (const auto* text = std::get_if<std::string>(&value))
        real = QString::fromStdString(*text).toDouble();
    else if (const auto whole = eosNumberValue(message, position))
        real = *whole;
    return std::isfinite(real) ? std::optional<double>(real) : std::nullopt;
}

std::optional<int> eosNumberValue(const OSCMessage& message, std::size_t position) {
    if (message.values.size() <= position)
        return std::nullopt;
    const OSCValue& value = message.values[position];
    if (const auto* i32 = std::get_if<std::int32_t>(&value))
        return *i32;
    if (const auto* i64 = std::get_if<std::int64_t>(&value))
        return wholeReal(static_cast<double>(*i64));
    if (const auto* f = std::get_if<float>(&value))
        return wholeReal(*f);
    if (const auto* d = std::get_if<double>(&value))
        return wholeReal(*d);
    if (const auto* text = std::get_if<std::string>(&value))
        return wholeNumber(*text);
    return std::nullopt;
}

std::optional<int> patchCountReply(const OSCMessage& message) {
    if (message.addressPattern.rawAddress() != "/eos/out/get/patch/count")
        return std::nullopt;
    return eosNumberValue(message, 0);
}

std::optional<EosPatchReplyEntry> patchReplyEntry(const OSCMessage& message) {
    const auto address = partAddress(message.addressPattern.rawAddress());
    const auto index = eosNumberValue(message, indexField);
    if (!address || !address->rest.empty() || !index)
        return std::nullopt;
    EosPatchPart part;
    part.channel = address->channel;
    part.part = address->part;
    part.label = textValue(message, labelField);
    part.manufacturer = textValue(message, manufacturerField);
    part.model = textValue(message, modelField);
    part.address = addressValue(message, addressField);
    part.intensityAddress = addressValue(message, intensityField);
    part.partCount = std::max(0, eosNumberValue(message, partCountField).value_or(0));
    part.endAddress = addressValue(message, endAddressField);
    return EosPatchReplyEntry{*index, std::move(part)};
}

std::optional<EosPatchPositionReply> patchPositionReply(const OSCMessage& message) {
    const auto address = partAddress(message.addressPattern.rawAddress());
    if (!address || address->rest != "augment3d/position")
        return std::nullopt;
    // Index and UID first, then x, y and z.
    const auto x = eosRealValue(message, 2);
    const auto y = eosRealValue(message, 3);
    const auto z = eosRealValue(message, 4);
    if (!x || !y || !z)
        return std::nullopt;
    return EosPatchPositionReply{address->channel, address->part, {*x, *y, *z}};
}

} // namespace pexlora
