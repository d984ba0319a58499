// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pexlora::sim {

// One channel part as the desk's patch holds it, with where the fixture hangs.
struct PatchEntry {
    int channel = 0;
    int part = 1;
    int partCount = 1;
    std::string uid;
    std::string label;
    std::string manufacturer;
    std::string model;
    int address = 0; // absolute: universe × 512 + slot
    int footprint = 1;
    // 16-bit intensity: the coarse byte at the address, the fine one in the slot after it.
    bool fineIntensity = false;
    std::string gel;
    std::array<std::string, 10> texts;
    std::string notes;
    std::array<float, 3> position{}; // metres: across, up- or downstage, height
    std::array<float, 3> rotation{}; // degrees
    float beamAngle = 26.0f;
};

// The channels of a patch list such as "1-48,101-110": numbers and ascending ranges
// separated by commas, each channel 1–99999 and at most 100,000 in all. Nothing for
// any other text.
std::optional<std::vector<int>> patchChannels(std::string_view list);

// The channels hung on a plausible rig: a front-of-house truss, then electrics
// upstage of it a dozen units each, every fixture addressed after the one before
// and never across a universe.
std::vector<PatchEntry> rigPatch(const std::vector<int>& channels);

// "12/1" style universe/slot text of an absolute address.
std::string dmxText(int address);

// A desk-like UID, the same for the same kind and number.
std::string simulatorUid(int kind, long long number);

} // namespace pexlora::sim
