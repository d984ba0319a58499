// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace pexlora {

// The toolbar's zoom figure: the whole percent of `zoomScale`, truncated towards
// zero, with "%". The binary representation error of the scale is taken off
// first, so that 0.29 reads 29% (not 28%) while 0.999 still reads 99%.
QString zoomPercentText(double zoomScale);

} // namespace pexlora
