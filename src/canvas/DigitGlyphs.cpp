// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/DigitGlyphs.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <cmath>

namespace pexlora {

DigitGlyphs::DigitGlyphs(QStringView characters)
    : m_characters(characters.left(static_cast<qsizetype>(maxCharacters)).toString()) {
    m_slots.fill(-1);
    for (qsizetype i = 0; i < m_characters.size(); ++i)
        if (const char16_t u = m_characters[i].unicode(); u < 128)
            m_slots[u] = static_cast<qint8>(i);
}

void DigitGlyphs::setFont(const QFont& font, qreal devicePixelRatio) {
    if (font == m_font && devicePixelRatio == m_ratio && m_raw.isValid())
        return;
    m_font = font;
    m_ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    m_raw = QRawFont::fromFont(font);
    const QFontMetricsF metrics(font);
    m_ascent = metrics.ascent();
    m_height = metrics.height();
    m_complete = m_raw.isValid();
    if (!m_complete)
        return;
    const QList<quint32> glyphs = m_raw.glyphIndexesForString(m_characters);
    const QList<QPointF> advances = m_raw.advancesForGlyphIndexes(glyphs);
    const qsizetype count = m_characters.size();
    m_complete = glyphs.size() == count && advances.size() == count;
    for (qsizetype i = 0; m_complete && i < count; ++i) {
        m_glyphs[static_cast<std::size_t>(i)] = glyphs[i];
        m_advances[static_cast<std::size_t>(i)] = advances[i].x();
        m_complete = glyphs[i] != 0; // 0: the font has no such glyph
    }
}

bool DigitGlyphs::covers(QStringView text) const {
    if (!m_complete)
        return false;
    for (const QChar c : text) {
        if (slot(c) < 0)
            return false;
    }
    return true;
}

double DigitGlyphs::width(QStringView text) const {
    double width = 0;
    for (const QChar c : text)
        width += m_advances[static_cast<std::size_t>(slot(c))];
    return width;
}

void DigitGlyphs::append(QStringView text, QPointF topLeft, Run& run) const {
    const auto snap = [this](double v) { return std::round(v * m_ratio) / m_ratio; };
    double x = snap(topLeft.x());
    const double baseline = snap(topLeft.y() + m_ascent);
    for (const QChar c : text) {
        const auto i = static_cast<std::size_t>(slot(c));
        run.glyphs.append(m_glyphs[i]);
        run.positions.append(QPointF(x, baseline));
        x += m_advances[i];
    }
}

void DigitGlyphs::draw(QPainter& painter, const Run& run) const {
    if (run.isEmpty())
        return;
    QGlyphRun glyphs;
    glyphs.setRawFont(m_raw);
    glyphs.setGlyphIndexes(run.glyphs);
    glyphs.setPositions(run.positions);
    painter.drawGlyphRun(QPointF(0, 0), glyphs);
}

} // namespace pexlora
