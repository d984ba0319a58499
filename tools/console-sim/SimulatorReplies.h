// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SimulatorChannels.h"
#include "osc/OSCMessage.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pexlora::sim {

// A desk never sends a packet longer than this.
constexpr std::size_t maxDeskPacket = 512;

// `values` as a desk sends them: under `address` + "/list/<index>/<count>", as many
// values to a message as fit in one packet, and "/list/0/<count>" even when all fit.
std::vector<OSCMessage> listReplies(const std::string& address, const OSCValues& values);

// "1-3, 7", as the desk writes a selection; `separator` between the runs. Only channels
// rising one by one make a run, so "9, 8, 7, 2" keeps the order it was selected in.
std::string channelRunText(const ChannelList& channels, const std::string& separator = ", ");

// The channels as a desk lists targets, in their order: lone numbers as ints, two or
// more rising one by one as "X-Y".
OSCValues channelValues(const ChannelList& channels);

// Text cut at the last run separator that keeps it within `limit` bytes.
std::string boundedRunText(std::string text, std::size_t limit);

} // namespace pexlora::sim
