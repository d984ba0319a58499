// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosPatchReply.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace pexlora {

namespace {

constexpr std::string_view entryPrefix = "/eos/out/get/patch/";

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

} // namespace

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
    std::string_view address = message.addressPattern.rawAddress();
    if (!address.starts_with(entryPrefix))
        return std::nullopt;
    address.remove_prefix(entryPrefix.size());
    // "<channel>" or "<channel>/<part>"; notes and Augment3d messages have more.
    const std::size_t slash = address.find('/');
    if (slash != std::string_view::npos &&
        (address.find('/', slash + 1) != std::string_view::npos || !wholeNumber(address.substr(slash + 1))))
        return std::nullopt;
    const auto channel = wholeNumber(address.substr(0, slash));
    const auto index = eosNumberValue(message, 0);
    if (!channel || *channel < 1 || !index)
        return std::nullopt;
    return EosPatchReplyEntry{*index, *channel};
}

} // namespace pexlora
