// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/SystemColors.h"

#include <QAbstractButton>

namespace pexlora {

// One modifier key of the legend: the key's name in its marquee colour and what
// holding it does, on a tint of that colour. It is also a toggle: checked, it
// stands for its key held (it looks pressed then).
class KeyChip : public QAbstractButton {
    Q_OBJECT

public:
    // The colour is named by its place among the system colours, so that it
    // follows the palette between light and dark.
    using ColorRole = QColor SystemColors::*;

    KeyChip(QString symbol, QString label, ColorRole color, QWidget* parent = nullptr);

    const QString& symbol() const { return m_symbol; }
    const QString& label() const { return m_label; }
    QColor color() const { return SystemColors::fromPalette(palette()).*m_color; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int spacing = 4;
    static constexpr QMargins padding{6, 3, 6, 3};

    QFont symbolFont() const;
    QFont labelFont() const;

    QString m_symbol;
    QString m_label;
    ColorRole m_color;
};

} // namespace pexlora
