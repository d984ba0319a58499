// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/SystemColors.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <cstddef>

namespace pexlora {

// Ready-made images of the few ways a cell can look, at the current cell size
// and device pixel ratio: drawing thousands of cells then costs one image each
// instead of an anti-aliased path. Everything is dropped when the size, the
// ratio or the colours change.
class CellImageCache {
public:
    enum class Fill { ordinary, selected, editSelected, groupDrag };
    static constexpr int glowLevels = 32;

    // How far the glow reaches beyond a cell's square, in points.
    static constexpr double glowMargin = 12.0;

    void prepare(double cellSize, qreal devicePixelRatio, const SystemColors& colors, std::size_t paletteKey);

    // A cell with its fill and outline; with glow > 0, its orange glow too.
    const QImage& cell(Fill fill, double glow);
    // How far that image reaches beyond the cell's square: glowMargin with a
    // glow; without, it stops short of the square by the empty part of the
    // inset, in whole device pixels, so that less of nothing is blended.
    double margin(double glow) const;
    // The number colour that reads on that cell as it is drawn over the ground:
    // `highlighted` prefers the selected text colour, otherwise the label colour;
    // `lit` reads on the cell under a level's fill.
    QColor textColor(Fill fill, double glow, bool highlighted, bool lit = false);
    // The badge disc, `diameter` points wide.
    const QImage& badge(double diameter);

    static int glowLevel(double glow);

private:
    QImage render(Fill fill, int level) const;

    double m_cellSize = 0;
    double m_trim = 0;
    qreal m_ratio = 0;
    std::size_t m_paletteKey = 0;
    SystemColors m_colors;
    QHash<int, QImage> m_cells;
    QHash<int, QColor> m_textColors;
    QImage m_badge;
    double m_badgeDiameter = 0;
};

} // namespace pexlora
