// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pexlora {

// Where the help page shipped with the program lies: beside the program in the
// build tree, or in the data folder of the installation the program runs from.
// Empty when it is in neither place.
QString findHelpPage(const QString& programFolder);

} // namespace pexlora
