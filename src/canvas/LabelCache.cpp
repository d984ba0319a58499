// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/LabelCache.h"

namespace pexlora {

namespace {

constexpr qsizetype maxCachedTexts = 50'000;

} // namespace

void LabelCache::setFont(const QFont& font) {
    if (font == m_font)
        return;
    m_labels.clear();
    m_font = font;
}

LabelCache::Line LabelCache::line(const QString& text) const {
    QStaticText laidOut(text);
    laidOut.setTextFormat(Qt::PlainText);
    laidOut.setPerformanceHint(QStaticText::AggressiveCaching);
    laidOut.prepare(QTransform(), m_font);
    return {laidOut, laidOut.size()};
}

const LabelCache::Label& LabelCache::label(const QString& numberString) {
    auto it = m_labels.find(numberString);
    if (it != m_labels.end())
        return *it;
    if (m_labels.size() > maxCachedTexts)
        m_labels.clear();
    Label label;
    const qsizetype point = numberString.indexOf(u'.');
    if (point < 0) {
        label.upper = line(numberString);
    } else {
        label.upper = line(numberString.left(point));
        label.lower = line(numberString.mid(point));
    }
    return *m_labels.insert(numberString, std::move(label));
}

} // namespace pexlora
