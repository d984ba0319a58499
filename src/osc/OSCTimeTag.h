// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace pexlora {

// An OSC 1.0 time tag. Only `rawValue` goes on the wire; `era` counts the NTP
// eras beyond the first for callers that need it and always reads 0 when decoded.
struct OSCTimeTag {
    std::int64_t era = 0;
    std::uint64_t rawValue = 1; // 1 means "immediately"

    static OSCTimeTag immediate() { return {}; }

    // "1 (immediate)", the raw value in decimal, or "<raw>-era:<era>".
    std::string description() const;

    friend bool operator==(const OSCTimeTag&, const OSCTimeTag&) = default;
};

} // namespace pexlora
