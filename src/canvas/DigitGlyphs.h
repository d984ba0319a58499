// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QStringView>
#include <array>

class QPainter;

namespace pexlora {

// The ASCII digits and the point of one font as glyphs, so that thousands of
// cell numbers reach the screen in one glyph run per colour instead of one
// text layout each: digits of the cell font are all one width and never kern,
// so setting a number is a few additions. Any other character is left to the
// text layout, which shapes it and falls back to other fonts.
class DigitGlyphs {
public:
    // Glyphs at positions in the painter's coordinates, to be drawn together.
    struct Run {
        QList<quint32> glyphs;
        QList<QPointF> positions;
        bool isEmpty() const { return glyphs.isEmpty(); }
    };

    // Positions are held to the pixels of a device of `devicePixelRatio`, so
    // that every digit is rasterised once for all the cells.
    void setFont(const QFont& font, qreal devicePixelRatio);
    const QFont& font() const { return m_font; }

    // Whether `text` is made of digits and points that the font has.
    bool covers(QStringView text) const;
    double width(QStringView text) const;
    // The line box's height, as text layout measures it.
    double height() const { return m_height; }

    // Adds `text` (which it covers) with the top-left of its line box at `topLeft`.
    void append(QStringView text, QPointF topLeft, Run& run) const;
    void draw(QPainter& painter, const Run& run) const;

private:
    static int slot(QChar c);

    QFont m_font;
    qreal m_ratio = 0;
    QRawFont m_raw;
    std::array<quint32, 11> m_glyphs{};
    std::array<double, 11> m_advances{};
    bool m_complete = false;
    double m_ascent = 0;
    double m_height = 0;
};

} // namespace pexlora
