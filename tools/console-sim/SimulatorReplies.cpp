// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatorReplies.h"

#include "osc/OSCMessageEncoder.h"

#include <cstdint>
#include <utility>

namespace pexlora::sim {

namespace {

std::size_t encodedSize(const std::string& address, const OSCValues& values) {
    const auto bytes = encodeOSC(OSCMessage(OSCAddressPattern(address), values));
    return bytes.ok() ? bytes.value().size() : SIZE_MAX;
}

std::string partAddress(const std::string& address, std::size_t index, std::size_t count) {
    return address + "/list/" + std::to_string(index) + "/" + std::to_string(count);
}

// Channels rising one by one as [first, last] pairs.
std::vector<std::pair<int, int>> runs(const ChannelList& channels) {
    std::vector<std::pair<int, int>> result;
    for (const int channel : channels) {
        if (!result.empty() && result.back().second + 1 == channel)
            result.back().second = channel;
        else
            result.emplace_back(channel, channel);
    }
    return result;
}

} // namespace

std::vector<OSCMessage> listReplies(const std::string& address, const OSCValues& values) {
    const std::size_t count = values.size();
    std::vector<OSCMessage> replies;
    std::size_t index = 0;
    do {
        OSCValues part;
        // The longest address this list can have keeps every part within the limit.
        const std::string longest = partAddress(address, count, count);
        while (index + part.size() < count) {
            part.push_back(values[index + part.size()]);
            if (encodedSize(longest, part) > maxDeskPacket && part.size() > 1) {
                part = OSCValues(part.begin(), part.end() - 1);
                break;
            }
        }
        replies.emplace_back(OSCAddressPattern(partAddress(address, index, count)), part);
        index += part.size();
    } while (index < count);
    return replies;
}

std::string channelRunText(const ChannelList& channels, const std::string& separator) {
    std::string text;
    for (const auto& [first, last] : runs(channels)) {
        if (!text.empty())
            text += separator;
        text += std::to_string(first);
        if (last != first)
            text += "-" + std::to_string(last);
    }
    return text;
}

OSCValues channelValues(const ChannelList& channels) {
    OSCValues values;
    for (const auto& [first, last] : runs(channels)) {
        if (first == last)
            values.push_back(static_cast<std::int32_t>(first));
        else
            values.push_back(std::to_string(first) + "-" + std::to_string(last));
    }
    return values;
}

std::string boundedRunText(std::string text, std::size_t limit) {
    if (text.size() <= limit)
        return text;
    const std::size_t cut = text.rfind(',', limit);
    text.resize(cut == std::string::npos ? 0 : cut);
    return text;
}

} // namespace pexlora::sim
