// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ModelTypes.h"
#include "widgets/SystemColors.h"

namespace pexlora {

// The one colour of each marquee modifier, shared by the marquee on the canvas
// and the key legend: Shift purple, Option green, Command orange, Control cyan,
// no modifier the accent colour. Named by its place among the system colours so
// that it follows the palette.
using SystemColorRole = QColor SystemColors::*;
SystemColorRole marqueeColorRole(MarqueeModifier modifier);

inline QColor marqueeColor(MarqueeModifier modifier, const SystemColors& colors) {
    return colors.*marqueeColorRole(modifier);
}

} // namespace pexlora
