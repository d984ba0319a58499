// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/CanvasGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pexlora {

namespace {

constexpr double int64Limit = 9223372036854775808.0; // 2^63, the first double past the range

std::int64_t clampedIndex(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= int64Limit)
        return std::numeric_limits<std::int64_t>::max();
    if (value < -int64Limit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

} // namespace

MarqueeModifier marqueeModifierFromFlags(Qt::KeyboardModifiers modifiers) {
    if (modifiers & Qt::AltModifier)
        return MarqueeModifier::option;
    if (modifiers & Qt::ControlModifier)
        return MarqueeModifier::command;
    if (modifiers & Qt::ShiftModifier)
        return MarqueeModifier::shift;
    if (modifiers & Qt::MetaModifier)
        return MarqueeModifier::control;
    return MarqueeModifier::none;
}

MarqueeModifier marqueeModifierFromFlags(Qt::KeyboardModifiers modifiers, MarqueeModifier latched) {
    const MarqueeModifier held = marqueeModifierFromFlags(modifiers);
    return held != MarqueeModifier::none ? held : latched;
}

std::vector<GridPosition> linePositions(GridPosition a, GridPosition b, std::size_t maxCount) {
    // Differences in 128 bits: positions from a file may lie at the ends of the range.
    __extension__ using Wide = __int128;
    const Wide dc = Wide(b.col) - a.col;
    const Wide dr = Wide(b.row) - a.row;
    const auto magnitude = [](Wide v) { return v < 0 ? -v : v; };
    const bool vertical = magnitude(dc) < magnitude(dr);
    const Wide span = vertical ? magnitude(dr) : magnitude(dc);
    const int step = (vertical ? dr : dc) < 0 ? -1 : 1;
    const std::size_t count = static_cast<std::size_t>(std::min<Wide>(span + 1, Wide(maxCount)));
    std::vector<GridPosition> line;
    line.reserve(count);
    GridPosition p = a;
    for (std::size_t i = 0; i < count; ++i) {
        line.push_back(p);
        (vertical ? p.row : p.col) += step;
    }
    return line;
}

std::uint64_t IndexRange::count() const {
    if (isEmpty())
        return 0;
    const auto span = static_cast<std::uint64_t>(last) - static_cast<std::uint64_t>(first);
    return span == std::numeric_limits<std::uint64_t>::max() ? span : span + 1;
}

IndexRange cellsCovering(double low, double high, double cellSize, double pan) {
    if (!(cellSize > 0) || !(high > low))
        return {};
    const double first = std::floor((low - pan) / cellSize);
    // A cell that only touches `high` with its left edge does not meet the span.
    const double last = std::ceil((high - pan) / cellSize) - 1;
    if (!(last >= first))
        return {};
    return {clampedIndex(first), clampedIndex(last)};
}

double firstLineIndex(double coordinate, double cellSize, double pan) {
    return std::floor((coordinate - pan) / cellSize);
}

} // namespace pexlora
