// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/SystemColors.h"

#include <QAbstractButton>
#include <QMargins>

namespace pexlora {

// A borderless toolbar button: a symbol, optionally a title beside it, on a
// filled rounded shape that covers the whole click area. Subclasses say what the
// fill and the content colours are in their current state; the colours are read
// from the palette at every paint, so light and dark desktops both look right.
class SymbolButton : public QAbstractButton {
    Q_OBJECT

public:
    // A capsule rounds its ends fully; otherwise the corners take `cornerRadius`.
    struct Shape {
        QMargins padding;
        double cornerRadius = 0;
        bool capsule = false;
    };
    struct Look {
        QColor fill;
        QColor content;
    };

    SymbolButton(QString symbol, QString title, Shape shape, QWidget* parent = nullptr);

    const QString& symbol() const { return m_symbol; }
    const QString& title() const { return m_title; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    // What the button paints, for the colours of `palette`.
    virtual Look look(const SystemColors& colors) const = 0;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    // After a state change that alters the look.
    void restyle() { update(); }
    // For a state drawn with a symbol of its own, of the same size.
    void setSymbol(QString symbol);

private:
    static constexpr int symbolSize = 16;
    static constexpr int spacing = 5;

    QString m_symbol;
    QString m_title;
    Shape m_shape;
};

} // namespace pexlora
