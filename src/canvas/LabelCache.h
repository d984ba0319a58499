// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QHash>
#include <QSizeF>
#include <QStaticText>
#include <QString>
#include <optional>

namespace pexlora {

// Number labels laid out once for one font, split at the first point into the
// two lines a cell shows; a new font starts afresh.
class LabelCache {
public:
    struct Line {
        QStaticText text;
        QSizeF size;
    };
    struct Label {
        Line upper;
        std::optional<Line> lower; // from the point on, when there is one
    };

    void setFont(const QFont& font);
    const QFont& font() const { return m_font; }
    const Label& label(const QString& numberString);

private:
    Line line(const QString& text) const;

    QFont m_font;
    QHash<QString, Label> m_labels;
};

} // namespace pexlora
