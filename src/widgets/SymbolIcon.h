// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QRectF>
#include <QStringList>
#include <QStringView>

class QPainter;

namespace pexlora {

// The named system symbols of the toolbar ("square.and.pencil", "play.circle",
// "cursorarrow", "plus.app.fill", "number", "numbers"), drawn as vector paths so
// they stay sharp at every device pixel ratio, in the colour the caller takes
// from the palette.
class SymbolIcon {
public:
    static QStringList names();
    static bool isKnown(QStringView name);

    // Draws the symbol centred in `box`, fitted into its smaller side. An unknown
    // name draws nothing.
    static void paint(QPainter& painter, QStringView name, const QRectF& box, const QColor& color);
};

} // namespace pexlora
