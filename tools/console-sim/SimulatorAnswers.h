// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SimulatorPatch.h"
#include "SimulatorShow.h"
#include "osc/OSCMessage.h"

#include <string>
#include <vector>

namespace pexlora::sim {

// The detail messages of one channel part: the 21-value list, its notes, and its
// Augment3d position and beam. `first` is the index asked for, or -1 when asked by number.
std::vector<OSCMessage> patchReplies(const PatchEntry& entry, int first, int level);

// The detail messages of a group: number, UID and label, then its channels.
std::vector<OSCMessage> groupReplies(const std::string& number, const SimulatorGroup& group, int first);

// "/eos/out/notify/<kind>": a sequence number, then the changed targets.
std::vector<OSCMessage> notifyReplies(const std::string& kind, int sequence, const OSCValues& targets);

// A group number as the desk lists a target: an int when whole, else a string.
OSCValue groupNumberValue(const std::string& number);

} // namespace pexlora::sim
