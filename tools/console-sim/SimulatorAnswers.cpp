// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatorAnswers.h"

#include "SimulatorReplies.h"

namespace pexlora::sim {

namespace {

std::string groupUid(const std::string& number) {
    const std::size_t dot = number.find('.');
    std::string digits = number.substr(0, dot);
    std::string fraction = dot == std::string::npos ? std::string() : number.substr(dot + 1);
    fraction.resize(3, '0');
    return simulatorUid(3, std::stoll(digits + fraction));
}

template <typename... Values> OSCValues values(Values&&... items) {
    OSCValues result;
    (result.push_back(OSCValue(std::forward<Values>(items))), ...);
    return result;
}

} // namespace

std::vector<OSCMessage> patchReplies(const PatchEntry& entry, int first, int level) {
    const std::string base =
        "/eos/out/get/patch/" + std::to_string(entry.channel) + "/" + std::to_string(entry.part);
    const auto index = static_cast<std::int32_t>(first);
    OSCValues list =
        values(index, entry.uid, entry.label, entry.manufacturer, entry.model,
               static_cast<std::int32_t>(entry.address), static_cast<std::int32_t>(entry.address),
               static_cast<std::int32_t>(level), entry.gel);
    for (const std::string& text : entry.texts)
        list.push_back(text);
    list.push_back(static_cast<std::int32_t>(entry.partCount));
    list.push_back(static_cast<std::int32_t>(entry.address + entry.footprint - 1));
    std::vector<OSCMessage> replies = listReplies(base, list);
    replies.emplace_back(OSCAddressPattern(base + "/notes"), values(index, entry.uid, entry.notes));
    replies.emplace_back(OSCAddressPattern(base + "/augment3d/position"),
                         values(index, entry.uid, entry.position[0], entry.position[1], entry.position[2],
                                entry.rotation[0], entry.rotation[1], entry.rotation[2], std::int32_t{0}));
    replies.emplace_back(OSCAddressPattern(base + "/augment3d/beam"),
                         values(index, entry.uid, entry.beamAngle));
    return replies;
}

std::vector<OSCMessage> groupReplies(const std::string& number, const SimulatorGroup& group, int first) {
    const std::string base = "/eos/out/get/group/" + number;
    const auto index = static_cast<std::int32_t>(first);
    const std::string uid = groupUid(number);
    std::vector<OSCMessage> replies = listReplies(base, values(index, uid, group.label));
    OSCValues channels = values(index, uid);
    for (const OSCValue& value : channelValues(group.channels))
        channels.push_back(value);
    for (OSCMessage& part : listReplies(base + "/channels", channels))
        replies.push_back(std::move(part));
    return replies;
}

std::vector<OSCMessage> notifyReplies(const std::string& kind, int sequence, const OSCValues& targets) {
    OSCValues list = values(static_cast<std::int32_t>(sequence));
    for (const OSCValue& target : targets)
        list.push_back(target);
    return listReplies("/eos/out/notify/" + kind, list);
}

OSCValue groupNumberValue(const std::string& number) {
    if (number.find('.') != std::string::npos)
        return number;
    return static_cast<std::int32_t>(std::stoi(number));
}

} // namespace pexlora::sim
