// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCMessage.h"

#include <QString>
#include <cstddef>
#include <optional>

namespace pexlora {

// Where a fixture hangs, as the desk's Augment3d places it: metres across the stage (x),
// towards upstage (y) and up (z).
struct EosRigPosition {
    double x = 0;
    double y = 0;
    double z = 0;

    friend bool operator==(const EosRigPosition&, const EosRigPosition&) = default;
};

// One channel part as the desk's patch describes it.
struct EosPatchPart {
    int channel = 0;
    int part = 1;
    QString label;
    QString manufacturer;
    QString model;
    int address = 0;          // absolute DMX address; 0 while unpatched
    int intensityAddress = 0; // absolute; 0 for a part without intensity
    int partCount = 0;        // 0 where the desk does not say
    int endAddress = 0;       // the fixture's last address; 0 where the desk does not say
    std::optional<EosRigPosition> position;

    // Two slots of intensity (coarse, then fine): a part whose whole footprint is two
    // addresses holds nothing but a 16-bit intensity. Any other is read as 8-bit, as a
    // wider fixture's footprint does not say how its intensity is laid out.
    bool intensityIsFine() const;
    // "Universe/slot" of an absolute address, as the desk writes it: "2/17".
    static QString dmxText(int address);

    friend bool operator==(const EosPatchPart&, const EosPatchPart&) = default;
};

// One channel part's detail list, with the index it answered (not a valid index when
// it was asked for by number).
struct EosPatchReplyEntry {
    int index = 0;
    EosPatchPart part;

    friend bool operator==(const EosPatchReplyEntry&, const EosPatchReplyEntry&) = default;
};

// ".../<channel>/<part>/augment3d/position": where the part hangs.
struct EosPatchPositionReply {
    int channel = 0;
    int part = 1;
    EosRigPosition position;
};

// The number a desk's reply gives as `position`-th value, written as an int, a whole
// float or double, or digits in a string, as desks and versions differ.
std::optional<int> eosNumberValue(const OSCMessage& message, std::size_t position);

// "/eos/out/get/patch/count": the number of channel parts.
std::optional<int> patchCountReply(const OSCMessage& message);

// A whole (joined) "/eos/out/get/patch/<channel>/<part>" list, or one without the part:
// its index, channel and part, and whatever of the rest was sent (older desks send fewer
// values; a value of the wrong kind is left empty). Nothing for the part's notes, its
// beam or anything else.
std::optional<EosPatchReplyEntry> patchReplyEntry(const OSCMessage& message);

std::optional<EosPatchPositionReply> patchPositionReply(const OSCMessage& message);

// The real number a desk's reply gives as `position`-th value, however it is written;
// nothing for one that is not finite.
std::optional<double> eosRealValue(const OSCMessage& message, std::size_t position);

} // namespace pexlora
