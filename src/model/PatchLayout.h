// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridElement.h"

#include <QList>

namespace pexlora {

// A layout for a console's patch: one cell per channel, in the order given
// (ascending), ten to a row from column 0, row 0, with an empty row before each
// new hundred (1–100, 101–200, …) so that every hundred starts a block of its own.
// The cells get fresh IDs and the channel numbers as their text.
GridElements patchLayout(const QList<int>& channels);

inline constexpr int patchLayoutRowLength = 10;

} // namespace pexlora
