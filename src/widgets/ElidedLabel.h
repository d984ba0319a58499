// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

namespace pexlora {

// One line of text that gives way to its neighbours: it takes the room left
// over, ends in "…" when that is too little, and shows the whole text as its
// tooltip. The text is shown as given, never read as markup, and only its first
// `maxShownLength` characters are shown at all.
class ElidedLabel : public QWidget {
    Q_OBJECT

public:
    static constexpr qsizetype maxShownLength = 1000;

    explicit ElidedLabel(QWidget* parent = nullptr);

    const QString& text() const { return m_text; }
    void setText(const QString& text);
    // The text as it is drawn at the current width.
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QString m_shown; // the text cut to what is ever shown
};

} // namespace pexlora
