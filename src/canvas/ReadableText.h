// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

namespace pexlora {

// The contrast ratio of two opaque colours as accessibility guidelines measure
// it: from 1 (the same) to 21 (black on white).
double contrastRatio(QColor a, QColor b);

// The colour for text on `fill`: `preferred` when it reads (4.5:1 or more), else
// `alternative` when that one does, else black or white, whichever reads better.
QColor readableOn(QColor fill, QColor preferred, QColor alternative);

} // namespace pexlora
