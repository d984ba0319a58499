// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/Decimal.h"

#include <QStringView>
#include <cstddef>
#include <vector>

namespace pexlora {

// The channels a console names as selected, as ranges of channel numbers. A
// range is kept as its two ends, never channel by channel, so "1-2000000000"
// costs what "1-2" costs; numbers are exact decimals, compared as the model
// compares cell numbers.
class ConsoleChannelSet {
public:
    struct Range {
        Decimal first;
        Decimal last; // not below first
        friend bool operator==(const Range&, const Range&) = default;
    };

    // The desk sends a few hundred bytes at most; beyond these limits the text
    // is hostile, and only what fits within them is read.
    static constexpr qsizetype maxTextLength = 64 * 1024;
    static constexpr std::size_t maxRanges = 10000;

    ConsoleChannelSet() = default;

    // Reads the text of the console's active channels, such as "1-5, 7, 11.2 [75]":
    // only what comes before the first "[" names channels; commas and blanks separate;
    // "X-Y", "X>Y", "X Thru Y" and "X > Y" are ranges (either way round); anything that
    // does not read as a number is skipped.
    static ConsoleChannelSet fromActiveChannels(QStringView text);

    // Ascending and without overlaps.
    const std::vector<Range>& ranges() const { return m_ranges; }
    bool isEmpty() const { return m_ranges.empty(); }
    bool contains(const Decimal& number) const;

    friend bool operator==(const ConsoleChannelSet&, const ConsoleChannelSet&) = default;

private:
    explicit ConsoleChannelSet(std::vector<Range> ranges);

    std::vector<Range> m_ranges;
};

} // namespace pexlora
