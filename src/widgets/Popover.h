// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QSize>

namespace pexlora {

// A small panel that pops up beside a control or a cell, as a transient popover
// does: it closes when the user clicks anywhere else (or presses Escape) and
// tells its owner through closed(). The toolbar, the canvas, the selection bar
// and the console bar all show their panels in one of these. A click elsewhere
// only closes it, unless the popover is one that works on what lies beside it;
// a click on the control that opened it always only closes it, as reaching the
// control would open it again.
class Popover : public QFrame {
    Q_OBJECT

public:
    enum class Edge { below, above };
    // What the press that closes the popover does besides.
    enum class OutsidePress {
        closeOnly, // it only closes: nothing under the pointer sees it
        passOn,    // it also reaches what lies under the pointer, as if no popover had been open
    };

    explicit Popover(QWidget* parent);

    // Takes ownership of `content`, which fills the popover.
    void setContent(QWidget* content);
    QWidget* content() const { return m_content; }

    void setOutsidePress(OutsidePress outsidePress) { m_outsidePress = outsidePress; }
    OutsidePress outsidePress() const { return m_outsidePress; }

    // Shows the popover beside `anchor`, given in `anchorWidget`'s coordinates,
    // on the preferred edge if it fits on the screen, and focuses the content.
    void popUp(QWidget* anchorWidget, const QRect& anchor, Edge preferred = Edge::below);
    // Places the popover again beside its anchor, for content that grew or shrank
    // while open; the focus stays where it is.
    void reposition();

    // Where a popup of `size` goes for an anchor rectangle, all in global
    // coordinates: centred on the anchor on the preferred edge, on the other edge
    // when only that one fits, and always inside `screen`.
    static QPoint placement(QSize size, const QRect& anchor, const QRect& screen, Edge preferred);

signals:
    // After every close, whatever closed it.
    void closed();

protected:
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Moves the popover, at its present size, beside its anchor.
    void place();
    bool onAnchor(QPoint global) const;
    // Hands a press that closed the popover to the widget under it.
    static void passOn(const QMouseEvent& press);

    QWidget* m_content = nullptr;
    QPointer<QWidget> m_anchorWidget;
    QRect m_anchor;
    Edge m_preferred = Edge::below;
    OutsidePress m_outsidePress = OutsidePress::closeOnly;
};

} // namespace pexlora
