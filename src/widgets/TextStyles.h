// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

namespace pexlora {

// The few text styles of the toolbar and panels, derived from the desktop's font
// so that they scale with it.
QFont headlineFont(const QFont& base);
QFont captionFont(const QFont& base);
// A fixed pixel size (the design's points) with a weight.
QFont sizedFont(const QFont& base, int pixelSize, QFont::Weight weight);
// The desktop's fixed-width font at a pixel size, for numbers and addresses.
QFont monospacedFont(int pixelSize);

} // namespace pexlora
