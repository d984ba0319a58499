// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/PatchLayout.h"

#include <QUuid>
#include <optional>

namespace pexlora {

namespace {

// Channel 100 closes the first hundred and 101 opens the next, as a desk counts them.
std::int64_t hundredOf(int channel) {
    const std::int64_t zeroBased = static_cast<std::int64_t>(channel) - 1;
    return zeroBased >= 0 ? zeroBased / 100 : (zeroBased - 99) / 100;
}

} // namespace

GridElements patchLayout(const QList<int>& channels) {
    GridElements cells;
    cells.reserve(static_cast<std::size_t>(channels.size()));
    std::optional<std::int64_t> hundred;
    std::int64_t row = 0;
    std::int64_t col = 0;
    for (const int channel : channels) {
        if (hundred && hundredOf(channel) != *hundred) {
            row += 2; // past the row in progress, then one left empty
            col = 0;
        } else if (col == patchLayoutRowLength) {
            ++row;
            col = 0;
        }
        hundred = hundredOf(channel);
        cells.push_back({QUuid::createUuid(), {col, row}, QString::number(channel)});
        ++col;
    }
    return cells;
}

} // namespace pexlora
