// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatorShow.h"

namespace pexlora::sim {

std::optional<SimulatorGroups> parseGroups(std::string_view text) {
    SimulatorGroups groups;
    while (!text.empty()) {
        const std::size_t semicolon = text.find(';');
        std::string_view item = text.substr(0, semicolon);
        text = semicolon == std::string_view::npos ? std::string_view() : text.substr(semicolon + 1);
        while (item.starts_with(' '))
            item.remove_prefix(1);
        if (item.empty())
            continue;
        const std::size_t equals = item.find('=');
        if (equals == std::string_view::npos)
            return std::nullopt;
        const auto number = groupNumber(item.substr(0, equals));
        std::string_view rest = item.substr(equals + 1);
        const std::size_t colon = rest.find(':');
        const auto channels = channelRun(rest.substr(0, colon));
        if (!number || !channels)
            return std::nullopt;
        SimulatorGroup& group = groups[*number];
        group.channels = *channels;
        if (colon != std::string_view::npos)
            group.label = std::string(rest.substr(colon + 1, 64));
    }
    return groups;
}

SimulatorShow secondDemoShow() {
    std::vector<int> channels;
    for (int channel = 1; channel <= 24; ++channel)
        channels.push_back(channel);
    for (int channel = 201; channel <= 212; ++channel)
        channels.push_back(channel);
    SimulatorShow show{"Demo show 2", rigPatch(channels),
                       *parseGroups("1=1-12:Front;2=13-24:Back;1.2=201-212:Cyc;10=1 > 24 201 212")};
    // A channel of two parts: the patch counts parts, not channels.
    PatchEntry second = show.patch.back();
    second.part = 2;
    second.uid = simulatorUid(2, second.channel);
    second.label += " (scroller)";
    second.address += second.footprint;
    show.patch.back().partCount = second.partCount = 2;
    show.patch.push_back(std::move(second));
    return show;
}

bool isShowCommand(std::string_view line) {
    while (line.starts_with(' '))
        line.remove_prefix(1);
    return line.starts_with("load");
}

Result<SimulatorShow, std::string> showFromCommand(std::string_view line) {
    while (line.ends_with(' '))
        line.remove_suffix(1);
    if (line == "load-demo-2")
        return secondDemoShow();
    constexpr std::string_view load = "load ";
    if (!line.starts_with(load))
        return fail(std::string("commands: load <patch> [<groups>], load-demo-2"));
    line.remove_prefix(load.size());
    while (line.starts_with(' '))
        line.remove_prefix(1);
    const std::size_t blank = line.find(' ');
    const auto channels = patchChannels(line.substr(0, blank));
    const auto groups = parseGroups(blank == std::string_view::npos ? "" : line.substr(blank + 1));
    if (!channels || !groups)
        return fail(std::string("load: a patch such as 1-48,101-110, then groups such as 12=1-3,7:Front"));
    return SimulatorShow{"Loaded show", rigPatch(*channels), *groups};
}

} // namespace pexlora::sim
