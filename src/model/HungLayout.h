// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridElement.h"

#include <QPointF>
#include <optional>
#include <vector>

namespace pexlora {

// A channel and where its fixture hangs, seen from above, in metres: x grows
// across the stage to the right, y towards upstage (the desk's Augment3d x and y).
// No position when the desk has none for it.
struct HungChannel {
    int channel = 0;
    std::optional<QPointF> position;
};

inline constexpr double defaultHungSpacing = 0.5;

// A layout that looks like the rig from above: one cell for each `spacing`
// metres, x to the right and upstage at the top, the top-left fixture at 0,0.
// Fixtures that would share a cell are spread to the nearest free one, the one
// further right going right and the one further upstage going up; the result
// does not depend on the order of `channels`. Channels without a usable
// position follow ten to a row in channel order, one empty row below the rig.
// A channel given twice gets one cell. Cells get fresh IDs and the channel
// numbers as their text.
GridElements hungLayout(std::vector<HungChannel> channels, double spacing = defaultHungSpacing);

} // namespace pexlora
