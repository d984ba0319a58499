// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/HungLayout.h"

#include "model/PatchLayout.h"

#include <QUuid>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <tuple>
#include <unordered_map>

namespace pexlora {

namespace {

// Below a centimetre to a cell a rig is mostly empty grid; above a kilometre, one cell.
constexpr double minSpacing = 0.01;
constexpr double maxSpacing = 1000.0;
// No stage is ten thousand kilometres across; past that a number is garbage, and
// clamping it here keeps every later step within what a double and an int64 hold.
constexpr double maxMetres = 1e7;
// A stray position (a typo of a few kilometres) must not stretch the layout, nor
// shrink the rest of the rig to make room for it. So the grid spans at most this
// many cells each way around the rig's median, and a fixture outside is pinned to
// the nearest edge, where the spreading below sets such fixtures side by side.
constexpr double maxSpanCells = 2000.0;
// How far a fixture follows the fixtures it bumps into before it takes the
// nearest free cell on its side instead; bounded so that a crowd cannot cycle.
constexpr int maxWalk = 16;

struct Fixture {
    int channel = 0;
    double col = 0; // in cells, rightwards
    double row = 0; // in cells, downstage
    GridPosition target;
};

struct Step {
    int dc = 0;
    int dr = 0;
};

double usableSpacing(double spacing) {
    if (!std::isfinite(spacing) || spacing <= 0)
        return defaultHungSpacing;
    return std::clamp(spacing, minSpacing, maxSpacing);
}

bool usable(const std::optional<QPointF>& position) {
    return position && std::isfinite(position->x()) && std::isfinite(position->y());
}

double median(std::vector<double> values) {
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

int sign(double value) {
    return (value > 0) - (value < 0);
}

// The way a newcomer leaves an occupied cell: towards its side of the occupant,
// rounded to one of the eight neighbours, so that a fixture a hair upstage of the
// one beside it on the same pipe still goes sideways rather than diagonally.
Step stepAway(const Fixture& occupant, const Fixture& newcomer) {
    constexpr double tan22_5 = 0.41421356237309503;
    const double dc = newcomer.col - occupant.col;
    const double dr = newcomer.row - occupant.row;
    Step step;
    if (std::abs(dc) > tan22_5 * std::abs(dr))
        step.dc = sign(dc);
    if (std::abs(dr) > tan22_5 * std::abs(dc))
        step.dr = sign(dr);
    if (step.dc == 0 && step.dr == 0)
        step.dc = 1; // on one spot, the later channel goes to the right
    return step;
}

// Which fixture holds each cell. The rig's own rectangle, with room around it for
// a crowd to spread, is a flat array, since crowds probe many cells; the rare
// cell beyond it goes to a map. A rectangle stretched by a stray fixture is
// mostly empty, so past a few megabytes the map takes every cell.
class Occupancy {
public:
    Occupancy(GridPosition topLeft, GridPosition bottomRight, std::int64_t margin)
        : col0_(topLeft.col - margin)
        , row0_(topLeft.row - margin)
        , width_(bottomRight.col - topLeft.col + 1 + 2 * margin)
        , height_(bottomRight.row - topLeft.row + 1 + 2 * margin) {
        if (width_ * height_ > maxDenseCells)
            width_ = height_ = 0;
        cells_.assign(static_cast<std::size_t>(width_ * height_), -1);
    }

    int at(GridPosition p) const {
        if (const auto index = indexOf(p))
            return cells_[*index];
        const auto found = outside_.find(p);
        return found == outside_.end() ? -1 : found->second;
    }

    void put(GridPosition p, int fixture) {
        if (const auto index = indexOf(p))
            cells_[*index] = fixture;
        else
            outside_[p] = fixture;
    }

private:
    static constexpr std::int64_t maxDenseCells = std::int64_t{1} << 20;

    std::optional<std::size_t> indexOf(GridPosition p) const {
        const std::int64_t c = p.col - col0_, r = p.row - row0_;
        if (c < 0 || r < 0 || c >= width_ || r >= height_)
            return std::nullopt;
        return static_cast<std::size_t>(r * width_ + c);
    }

    std::int64_t col0_, row0_, width_, height_;
    std::vector<int> cells_;
    std::unordered_map<GridPosition, int> outside_;
};

// Cells are never freed, so a ring once found full stays full: a crowd on one
// spot resumes its search where the last one left off instead of from the middle.
using FullRings = std::map<std::tuple<std::int64_t, std::int64_t, int, int>, std::int64_t>;

// The nearest free cell, ring by ring, that does not lie against `step` on either
// axis; within a ring, the one most in line with `step`, then the first in
// reading order.
GridPosition nearestFreeOnSide(const Occupancy& occupancy, GridPosition from, Step step,
                               FullRings& fullRings) {
    std::int64_t& full = fullRings[{from.col, from.row, step.dc, step.dr}];
    for (std::int64_t k = full + 1;; ++k) {
        std::optional<GridPosition> best;
        double bestAlignment = 0;
        for (std::int64_t dr = -k; dr <= k; ++dr) {
            const std::int64_t dcStride = (dr == -k || dr == k) ? 1 : 2 * k;
            for (std::int64_t dc = -k; dc <= k; dc += dcStride) {
                if (dc * step.dc < 0 || dr * step.dr < 0 || dc * step.dc + dr * step.dr <= 0)
                    continue;
                const GridPosition cell{from.col + dc, from.row + dr};
                if (occupancy.at(cell) >= 0)
                    continue;
                const double alignment = static_cast<double>(dc * step.dc + dr * step.dr) /
                                         std::hypot(static_cast<double>(dc), static_cast<double>(dr));
                if (!best || alignment > bestAlignment) {
                    best = cell;
                    bestAlignment = alignment;
                }
            }
        }
        if (best)
            return *best;
        full = k;
    }
}

// Where `newcomer` goes when `occupant` already holds its cell: it walks away from
// each fixture it meets; should that go round in circles, it takes the nearest
// free cell on its side of the first one.
GridPosition freeCellFor(const std::vector<Fixture>& fixtures, const Occupancy& occupancy,
                         FullRings& fullRings, int occupant, const Fixture& newcomer) {
    GridPosition cell = newcomer.target;
    for (int walked = 0; walked < maxWalk; ++walked) {
        const Step step = stepAway(fixtures[static_cast<std::size_t>(occupant)], newcomer);
        cell = {cell.col + step.dc, cell.row + step.dr};
        occupant = occupancy.at(cell);
        if (occupant < 0)
            return cell;
    }
    const int first = occupancy.at(newcomer.target);
    return nearestFreeOnSide(occupancy, newcomer.target,
                             stepAway(fixtures[static_cast<std::size_t>(first)], newcomer), fullRings);
}

// One entry per channel, unusable positions dropped, in an order that does not
// depend on the caller's: of a channel given twice, a positioned entry wins, then
// the one further left, then further downstage.
std::vector<HungChannel> canonical(std::vector<HungChannel> channels) {
    for (HungChannel& entry : channels) {
        if (!usable(entry.position))
            entry.position.reset();
    }
    const auto key = [](const HungChannel& entry) {
        return std::tuple(entry.channel, !entry.position, entry.position ? entry.position->x() : 0.0,
                          entry.position ? entry.position->y() : 0.0);
    };
    std::sort(channels.begin(), channels.end(),
              [&](const HungChannel& a, const HungChannel& b) { return key(a) < key(b); });
    channels.erase(
        std::unique(channels.begin(), channels.end(),
                    [](const HungChannel& a, const HungChannel& b) { return a.channel == b.channel; }),
        channels.end());
    return channels;
}

std::vector<Fixture> fixturesOnGrid(const std::vector<HungChannel>& channels, double spacing) {
    std::vector<Fixture> fixtures;
    for (const HungChannel& entry : channels) {
        if (!entry.position)
            continue;
        const double x = std::clamp(entry.position->x(), -maxMetres, maxMetres);
        const double y = std::clamp(entry.position->y(), -maxMetres, maxMetres);
        fixtures.push_back({entry.channel, x / spacing, -y / spacing, {}});
    }
    if (fixtures.empty())
        return fixtures;
    std::vector<double> cols, rows;
    for (const Fixture& f : fixtures) {
        cols.push_back(f.col);
        rows.push_back(f.row);
    }
    const double midCol = median(std::move(cols)), midRow = median(std::move(rows));
    for (Fixture& f : fixtures) {
        f.col = std::clamp(f.col, midCol - maxSpanCells / 2, midCol + maxSpanCells / 2);
        f.row = std::clamp(f.row, midRow - maxSpanCells / 2, midRow + maxSpanCells / 2);
        f.target = {std::llround(f.col), std::llround(f.row)};
    }
    // Cell by cell in reading order, and within a cell from the left and from
    // upstage, so that whoever comes later lies right of or below the holder.
    std::sort(fixtures.begin(), fixtures.end(), [](const Fixture& a, const Fixture& b) {
        return std::tie(a.target.row, a.target.col, a.col, a.row, a.channel) <
               std::tie(b.target.row, b.target.col, b.col, b.row, b.channel);
    });
    return fixtures;
}

} // namespace

GridElements hungLayout(std::vector<HungChannel> channels, double spacing) {
    channels = canonical(std::move(channels));
    const std::vector<Fixture> fixtures = fixturesOnGrid(channels, usableSpacing(spacing));

    GridElements cells;
    cells.reserve(channels.size());
    std::int64_t nextRow = 0;
    if (!fixtures.empty()) {
        GridPosition topLeft = fixtures.front().target, bottomRight = topLeft;
        for (const Fixture& f : fixtures) {
            topLeft = {std::min(topLeft.col, f.target.col), std::min(topLeft.row, f.target.row)};
            bottomRight = {std::max(bottomRight.col, f.target.col), std::max(bottomRight.row, f.target.row)};
        }
        // A crowd of n on one cell spreads over about √n cells each way.
        const auto margin = static_cast<std::int64_t>(std::sqrt(static_cast<double>(fixtures.size()))) + 2;
        Occupancy occupancy(topLeft, bottomRight, margin);
        FullRings fullRings;
        std::vector<GridPosition> placed;
        placed.reserve(fixtures.size());
        for (std::size_t i = 0; i < fixtures.size(); ++i) {
            const Fixture& f = fixtures[i];
            const int occupant = occupancy.at(f.target);
            const GridPosition cell =
                occupant < 0 ? f.target : freeCellFor(fixtures, occupancy, fullRings, occupant, f);
            occupancy.put(cell, static_cast<int>(i));
            placed.push_back(cell);
        }
        GridPosition origin = placed.front(), end = origin;
        for (const GridPosition& p : placed) {
            origin = {std::min(origin.col, p.col), std::min(origin.row, p.row)};
            end.row = std::max(end.row, p.row);
        }
        std::vector<std::size_t> byChannel(fixtures.size());
        for (std::size_t i = 0; i < byChannel.size(); ++i)
            byChannel[i] = i;
        std::sort(byChannel.begin(), byChannel.end(),
                  [&](std::size_t a, std::size_t b) { return fixtures[a].channel < fixtures[b].channel; });
        for (const std::size_t i : byChannel) {
            cells.push_back({QUuid::createUuid(),
                             {placed[i].col - origin.col, placed[i].row - origin.row},
                             QString::number(fixtures[i].channel)});
        }
        nextRow = end.row - origin.row + 2;
    }

    std::int64_t col = 0;
    for (const HungChannel& entry : channels) {
        if (entry.position)
            continue;
        cells.push_back({QUuid::createUuid(), {col, nextRow}, QString::number(entry.channel)});
        if (++col == patchLayoutRowLength) {
            col = 0;
            ++nextRow;
        }
    }
    return cells;
}

} // namespace pexlora
