// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QString>
#include <QStringView>
#include <array>
#include <cstddef>

class QPainter;

namespace pexlora {

// The ASCII digits and the point of one font as glyphs, so that thousands of
// cell numbers reach the screen in one glyph run per colour instead of one
// text layout each: digits of the cell font are all one width and never kern,
// so setting a number is a few additions. Any other character is left to the
// text layout, which shapes it and falls back to other fonts.
class DigitGlyphs {
public:
    static constexpr std::size_t maxCharacters = 16;

    // The ASCII characters it sets, which must not kern: the digits and the
    // point of cell numbers unless told otherwise.
    explicit DigitGlyphs(QStringView characters = u"0123456789.");

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

    // Whether `text` is made of its characters and the font has them all.
    bool covers(QStringView text) const;
    double width(QStringView text) const;
    // The line box's height, as text layout measures it.
    double height() const { return m_height; }

    // Adds `text` (which it covers) with the top-left of its line box at `topLeft`.
    void append(QStringView text, QPointF topLeft, Run& run) const;
    void draw(QPainter& painter, const Run& run) const;

private:
    int slot(QChar c) const { return c.unicode() < 128 ? m_slots[c.unicode()] : -1; }

    QString m_characters;
    std::array<qint8, 128> m_slots{};
    QFont m_font;
    qreal m_ratio = 0;
    QRawFont m_raw;
    std::array<quint32, maxCharacters> m_glyphs{};
    std::array<double, maxCharacters> m_advances{};
    bool m_complete = false;
    double m_ascent = 0;
    double m_height = 0;
};

} // namespace pexlora
