// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SimulatorChannels.h"
#include "SimulatorPatch.h"
#include "util/Result.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pexlora::sim {

struct SimulatorGroup {
    std::string label;
    ChannelList channels;
};

using SimulatorGroups = std::map<std::string, SimulatorGroup, GroupNumberOrder>;

// What a show file holds that the simulator answers about.
struct SimulatorShow {
    std::string name;
    std::vector<PatchEntry> patch;
    SimulatorGroups groups;
};

// Groups written "12=1-3,7:Front wash;13=21 > 24": number, channel run and an optional
// label, separated by semicolons. Nothing when any of them does not read.
std::optional<SimulatorGroups> parseGroups(std::string_view text);

// A show unlike the default one, to see what a show load changes.
SimulatorShow secondDemoShow();

// Whether a line typed at the simulator loads a show rather than going to the desk's
// command line: it starts with "load".
bool isShowCommand(std::string_view line);

// The show a line typed at the simulator names: "load <patch> [<groups>]" with a patch
// as --patch and groups as --groups take them, or "load-demo-2".
Result<SimulatorShow, std::string> showFromCommand(std::string_view line);

} // namespace pexlora::sim
