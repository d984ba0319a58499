// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPalette>

namespace pexlora {

// The desktop's semantic colours, read from a widget's palette so that light
// and dark desktops both look right, and the fixed system colours in their
// light or dark variant. Canvas, toolbar and status bar draw with these only.
struct SystemColors {
    static SystemColors fromPalette(const QPalette& palette);

    // `color` with its alpha replaced by `alpha` (0 to 1).
    static QColor withAlpha(QColor color, double alpha);
    // `top` laid over the opaque `bottom`: the one colour that shows.
    static QColor over(QColor top, QColor bottom);

    bool dark = false;

    QColor controlBackground;   // the canvas's ground
    QColor windowBackground;    // ordinary cells, the shading outside the grid
    QColor separator;           // grid lines and ordinary outlines
    QColor label;               // text
    QColor secondaryLabel;      // captions
    QColor selectedControl;     // selected cells
    QColor selectedControlText; // their text
    QColor accent;              // outlines of selected cells, badges, the plain marquee

    QColor orange;
    QColor green;
    QColor purple;
    QColor cyan;
    QColor yellow;
    QColor blue;
    QColor grey;
    QColor red;
    QColor pink; // the console's own selection
};

} // namespace pexlora
