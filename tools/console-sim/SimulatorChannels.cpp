// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatorChannels.h"

#include <algorithm>
#include <charconv>
#include <vector>

namespace pexlora::sim {

namespace {

std::optional<int> number(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

bool isThru(std::string_view word) {
    return word == ">" || word == "-" || word == "Thru" || word == "thru" || word == "THRU";
}

// Words of a run: numbers, and "-" and ">" as words of their own.
std::vector<std::string_view> runWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t start = std::string_view::npos;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char c = i < text.size() ? text[i] : ' ';
        const bool separator = c == ' ' || c == ',' || c == '+' || c == '\t' || c == '(' || c == ')';
        const bool joiner = c == '-' || c == '>';
        if ((separator || joiner) && start != std::string_view::npos) {
            words.push_back(text.substr(start, i - start));
            start = std::string_view::npos;
        }
        if (joiner)
            words.push_back(text.substr(i, 1));
        else if (!separator && start == std::string_view::npos)
            start = i;
    }
    return words;
}

} // namespace

std::optional<ChannelList> channelRun(std::string_view text) {
    ChannelList channels;
    std::vector<bool> taken(maxChannel + 1);
    constexpr std::size_t maxSelected = 100000;
    const auto add = [&](int channel) {
        if (!taken[static_cast<std::size_t>(channel)] && channels.size() < maxSelected) {
            taken[static_cast<std::size_t>(channel)] = true;
            channels.push_back(channel);
        }
    };
    std::optional<int> last;
    bool thru = false;
    for (const std::string_view word : runWords(text)) {
        if (isThru(word)) {
            thru = last.has_value();
            continue;
        }
        const auto channel = number(word);
        if (!channel) {
            thru = false;
            continue;
        }
        if (*channel < 1 || *channel > maxChannel)
            return std::nullopt;
        if (thru) {
            const int step = *channel < *last ? -1 : 1;
            for (int c = *last; c != *channel;)
                add(c += step);
        } else {
            add(*channel);
        }
        last = channel;
        thru = false;
    }
    return channels;
}

std::optional<std::string> groupNumber(std::string_view text) {
    const std::size_t dot = text.find('.');
    std::string_view whole = text.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if (whole.empty() || whole.size() > 5 || fraction.size() > 3 ||
        (dot != std::string_view::npos && fraction.empty()))
        return std::nullopt;
    for (const std::string_view digits : {whole, fraction})
        for (const char c : digits)
            if (c < '0' || c > '9')
                return std::nullopt;
    while (whole.size() > 1 && whole.front() == '0')
        whole.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.remove_suffix(1);
    if (whole == "0" && fraction.empty())
        return std::nullopt;
    return fraction.empty() ? std::string(whole) : std::string(whole) + "." + std::string(fraction);
}

bool GroupNumberOrder::operator()(const std::string& a, const std::string& b) const {
    const std::size_t aDot = std::min(a.find('.'), a.size());
    const std::size_t bDot = std::min(b.find('.'), b.size());
    if (aDot != bDot)
        return aDot < bDot; // no leading zeros: more digits is more
    return a < b;           // same width: digit by digit, and "1" before "1.2"
}

} // namespace pexlora::sim
