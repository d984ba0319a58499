// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatorPatch.h"

#include <charconv>

namespace pexlora::sim {

namespace {

constexpr int maxChannel = 99999;
constexpr std::size_t maxChannels = 100000;

std::optional<int> channel(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 1 ||
        value > maxChannel)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::vector<int>> patchChannels(std::string_view list) {
    std::vector<int> channels;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view item = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        const std::size_t dash = item.find('-');
        const auto first = channel(item.substr(0, dash));
        const auto last = dash == std::string_view::npos ? first : channel(item.substr(dash + 1));
        if (!first || !last || *last < *first ||
            channels.size() + static_cast<std::size_t>(*last - *first) >= maxChannels)
            return std::nullopt;
        for (int number = *first; number <= *last; ++number)
            channels.push_back(number);
    }
    return channels;
}

} // namespace pexlora::sim
