// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pexlora::sim {

constexpr int maxChannel = 99999;

// Channels in the order they were selected, each once: a desk keeps a selection and
// a group that way, and a group recorded from "9 Thru 7" plays back 9 first.
using ChannelList = std::vector<int>;

// The channels of a run as an operator or a program writes one: "1 > 9 21 31",
// "1-3,7", "1 Thru 3 + 7", "9 Thru 7" (downwards). A channel named again keeps its
// first place. Words that are not channels are skipped; nothing when the run names a
// channel outside 1–99999.
std::optional<ChannelList> channelRun(std::string_view text);

// A group number as the desk keeps it, "12" or "1.2" (leading zeros and trailing
// decimal zeros dropped); nothing for anything else.
std::optional<std::string> groupNumber(std::string_view text);

// Orders group numbers by value, as the desk lists them.
struct GroupNumberOrder {
    bool operator()(const std::string& a, const std::string& b) const;
};

} // namespace pexlora::sim
