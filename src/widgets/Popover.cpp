// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/Popover.h"

#include <QApplication>
#include <QHideEvent>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace pexlora {

namespace {

// Room between the anchor and the popover, as a popover's arrow would take.
constexpr int gap = 4;

} // namespace

Popover::Popover(QWidget* parent)
    : QFrame(parent, Qt::Popup) {
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void Popover::setContent(QWidget* content) {
    if (m_content)
        m_content->deleteLater();
    m_content = content;
    layout()->addWidget(content);
}

void Popover::popUp(QWidget* anchorWidget, const QRect& anchor, Edge preferred) {
    m_anchorWidget = anchorWidget;
    m_anchor = anchor;
    m_preferred = preferred;
    reposition();
    show();
    // A window system may shift a window as it first maps it; placed again, the popover
    // does not jump by that much at its first change of content.
    place();
    activateWindow();
    if (m_content)
        m_content->setFocus(Qt::PopupFocusReason);
}

void Popover::reposition() {
    adjustSize();
    place();
}

void Popover::place() {
    if (!m_anchorWidget)
        return;
    const QRect global(m_anchorWidget->mapToGlobal(m_anchor.topLeft()), m_anchor.size());
    QScreen* screen = m_anchorWidget->screen() ? m_anchorWidget->screen() : QGuiApplication::primaryScreen();
    move(placement(size(), global, screen ? screen->availableGeometry() : QRect(), m_preferred));
}

void Popover::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    // A window that grows keeps its top-left corner; one above its anchor must rise instead.
    if (isVisible())
        place();
}

QPoint Popover::placement(QSize size, const QRect& anchor, const QRect& screen, Edge preferred) {
    const int belowY = anchor.y() + anchor.height() + gap;
    const int aboveY = anchor.y() - gap - size.height();
    const bool fitsBelow = screen.isNull() || belowY + size.height() <= screen.y() + screen.height();
    const bool fitsAbove = screen.isNull() || aboveY >= screen.y();
    int y = preferred == Edge::below ? belowY : aboveY;
    if (preferred == Edge::below && !fitsBelow && fitsAbove)
        y = aboveY;
    if (preferred == Edge::above && !fitsAbove && fitsBelow)
        y = belowY;
    int x = anchor.x() + (anchor.width() - size.width()) / 2;
    if (!screen.isNull()) {
        x = std::clamp(x, screen.x(), std::max(screen.x(), screen.x() + screen.width() - size.width()));
        y = std::clamp(y, screen.y(), std::max(screen.y(), screen.y() + screen.height() - size.height()));
    }
    return {x, y};
}

bool Popover::onAnchor(QPoint global) const {
    if (!m_anchorWidget)
        return false;
    return QRect(m_anchorWidget->mapToGlobal(m_anchor.topLeft()), m_anchor.size()).contains(global);
}

void Popover::mousePressEvent(QMouseEvent* event) {
    // A popup sees the press that closes it. Qt hands it on to whatever lies
    // under the pointer only where the window system granted the popup its
    // grab, which differs between desktops, so Qt never does and this does.
    setAttribute(Qt::WA_NoMouseReplay, true);
    const QPoint global = event->globalPosition().toPoint();
    const bool outside = !rect().contains(event->position().toPoint());
    QFrame::mousePressEvent(event);
    if (outside && isHidden() && m_outsidePress == OutsidePress::passOn && !onAnchor(global))
        passOn(*event);
}

void Popover::passOn(const QMouseEvent& press) {
    const QPoint global = press.globalPosition().toPoint();
    QWidget* target = QApplication::widgetAt(global);
    if (!target)
        return;
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && target->window() != modal)
        return;
    QWindow* window = target->window()->windowHandle();
    if (!window)
        return;
    // Through the window, as the window system's press would come, so that the
    // release that follows finds the widget that took the press.
    const QPointF local = window->mapFromGlobal(press.globalPosition());
    QMouseEvent again(QEvent::MouseButtonPress, local, local, press.globalPosition(), press.button(),
                      press.buttons(), press.modifiers(), press.pointingDevice());
    QCoreApplication::sendEvent(window, &again);
}

bool Popover::event(QEvent* event) {
    const bool handled = QFrame::event(event);
    // Content that shows or hides a line (a refusal under a field) grows or
    // shrinks the popover, which stays beside its anchor.
    if (event->type() == QEvent::LayoutRequest && isVisible())
        reposition();
    return handled;
}

void Popover::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    emit closed();
}

} // namespace pexlora
