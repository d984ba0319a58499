// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridElement.h"

#include <QString>

namespace pexlora {

// What a field says when the cell-number rule refuses its text, for the
// renumber popover and the quick-renumber panel alike.
QString numberRefusal(NumberTextProblem problem);

} // namespace pexlora
