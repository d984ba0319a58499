// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/DigitGlyphs.h"
#include "widgets/SystemColors.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QRectF>
#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>
#include <vector>

class QPainter;

namespace pexlora {

// What a cell shows of the desk, drawn as the desk's own displays do: a fill
// rising from the bottom of the cell's shape with its live level, the level in
// small type in the top-left corner, and a corner of warning colour when the
// desk has no patch for its channel. The fill and the mark are cached images,
// one each for all the cells of a size; the levels go out in glyph runs.
class LevelMarks {
public:
    // The light-on wash: warm and translucent on a plain cell. On a cell of
    // Pexlora's selection it is nearly opaque, so that it does not muddy with the
    // selection's colour, and kept further inside, framed by that colour.
    static QColor fillColour(const SystemColors& colors, bool framed);

    // Drops the images when the cell size, ratio or colours changed; `font` is
    // the cell numbers' font.
    void prepare(double cellSize, qreal ratio, const SystemColors& colors, std::size_t paletteKey,
                 const QFont& font);

    // Where the fill of `percent` reaches, from the top of the cell's square.
    double fillTop(const QRectF& cell, int percent, bool framed) const;
    void paintFill(QPainter& painter, const QRectF& cell, int percent, bool framed);

    // A cell's image with the fill of `percent` and, `withText`, its level
    // written in: a lit cell then costs one image, as an unlit one does. `base`
    // is the image of the cell's state `state` (framed or not, always the same
    // way), reaching `margin` beyond its square.
    template <typename TextColour>
    const QImage& litCell(const QImage& base, double margin, int state, bool framed, int percent,
                          bool withText, TextColour textColour) {
        const int key = (state * 2 + (withText ? 1 : 0)) * 101 + std::clamp(percent, 0, 100);
        if (const auto found = m_lit.constFind(key); found != m_lit.cend())
            return *found;
        return addLitCell(key, base, margin, framed, percent, withText ? textColour() : QColor());
    }

    // The vertical middle of the level's text, which decides what it is read against.
    double textMiddle(const QRectF& inner) const;
    // Queues the level's text in the corner of the cell's `inner` square.
    void appendText(const QRectF& inner, int percent, const QColor& colour);
    void flushText(QPainter& painter);

    // The marks of the cells whose channel has no patch; `cells` are their squares.
    void paintUnpatched(QPainter& painter, const std::vector<QRectF>& cells);

private:
    enum class Image { fill, framedFill, unpatchedMark };
    QImage render(Image kind) const;
    const QImage& addLitCell(int key, const QImage& base, double margin, bool framed, int percent,
                             const QColor& textColour);

    double m_cellSize = 0;
    qreal m_ratio = 0;
    std::size_t m_paletteKey = 0;
    SystemColors m_colors;
    std::array<QImage, 3> m_images; // by Image
    QHash<int, QImage> m_lit;
    qsizetype m_litBytes = 0;
    DigitGlyphs m_glyphs{u"0123456789FL"};
    std::vector<std::pair<QColor, DigitGlyphs::Run>> m_pending;
};

} // namespace pexlora
