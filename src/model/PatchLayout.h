// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridElement.h"

#include <QList>

namespace pexlora {

// A layout for a console's patch: one cell per channel, placed by its number so
// that a channel the desk did not report leaves a hole instead of shifting the
// rest. Ten to a row (channel 1 in column 0, 10 in column 9), and an empty row
// before each new hundred (1–100, 101–200, …) so that every hundred starts a
// block of its own, even a hundred with no channels. Row 0 is the row of ten of
// the lowest channel. A channel given twice gets one cell. The cells come in
// channel order with fresh IDs and the channel numbers as their text.
GridElements patchLayout(const QList<int>& channels);

inline constexpr int patchLayoutRowLength = 10;

} // namespace pexlora
