// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/PatchLayout.h"

#include <QUuid>
#include <algorithm>
#include <vector>

namespace pexlora {

namespace {

// Ten rows of channels and the empty one that parts it from the next hundred.
constexpr std::int64_t rowsPerHundred = 100 / patchLayoutRowLength + 1;

std::int64_t floorDiv(std::int64_t value, std::int64_t divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

// Channel 100 closes the first hundred and 101 opens the next, as a desk counts them.
GridPosition placeOf(int channel) {
    const std::int64_t zeroBased = static_cast<std::int64_t>(channel) - 1;
    const std::int64_t hundred = floorDiv(zeroBased, 100);
    const std::int64_t inHundred = zeroBased - hundred * 100;
    return {inHundred % patchLayoutRowLength, hundred * rowsPerHundred + inHundred / patchLayoutRowLength};
}

} // namespace

GridElements patchLayout(const QList<int>& channels) {
    std::vector<int> sorted(channels.begin(), channels.end());
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    GridElements cells;
    if (sorted.empty())
        return cells;
    // A patch that starts at 1001 should not open on a thousand empty rows.
    const std::int64_t firstRow = placeOf(sorted.front()).row;
    cells.reserve(sorted.size());
    for (const int channel : sorted) {
        const GridPosition place = placeOf(channel);
        cells.push_back({QUuid::createUuid(), {place.col, place.row - firstRow}, QString::number(channel)});
    }
    return cells;
}

} // namespace pexlora
