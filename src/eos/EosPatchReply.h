// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCMessage.h"

#include <cstddef>
#include <optional>

namespace pexlora {

// What a patch import needs of one channel part's detail list.
struct EosPatchReplyEntry {
    int index = 0;
    int channel = 0;

    friend bool operator==(const EosPatchReplyEntry&, const EosPatchReplyEntry&) = default;
};

// The number a desk's reply gives as `position`-th value, written as an int, a whole
// float or double, or digits in a string, as desks and versions differ.
std::optional<int> eosNumberValue(const OSCMessage& message, std::size_t position);

// "/eos/out/get/patch/count": the number of channel parts.
std::optional<int> patchCountReply(const OSCMessage& message);

// A whole (joined) "/eos/out/get/patch/<channel>/<part>" list, or one without the part:
// its index and channel, however many values follow. Nothing for the part's notes, its
// Augment3d messages or anything else.
std::optional<EosPatchReplyEntry> patchReplyEntry(const OSCMessage& message);

} // namespace pexlora
