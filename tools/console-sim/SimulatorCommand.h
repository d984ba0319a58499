// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SimulatorShow.h"

#include <optional>
#include <string>
#include <string_view>

namespace pexlora::sim {

// What a terminated command line does to the user who typed it.
struct CommandEffect {
    std::optional<ChannelList> select;      // the user's selection becomes this
    std::optional<std::string> recordGroup; // the user's selection is recorded as this group
    std::optional<int> level;               // the selection goes to this level, 0–100

    friend bool operator==(const CommandEffect&, const CommandEffect&) = default;
};

// Whether the line ends in "Enter" or "#", the desk's terminators.
bool isTerminated(std::string_view line);

// The text a key pressed on the desk (its name after "/eos/key/") adds to `line`: a
// digit, or a word apart from what is around it. Nothing for a key it does not know.
std::optional<std::string> keyText(std::string_view line, std::string_view key);

// Reads the few commands the simulator carries out: "Chan 1 Thru 3 + 7", "1 > 3",
// "Group 12", "Record Group 1.2", "At 50" ("@ 50"), "At Full", "Full", "At Out", "Out",
// and a selection followed by a level. Anything else, or a line not terminated, does
// nothing.
CommandEffect interpretCommand(std::string_view line, const SimulatorGroups& groups);

} // namespace pexlora::sim
