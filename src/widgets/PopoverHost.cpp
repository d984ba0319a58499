// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/PopoverHost.h"

#include <QRect>
#include <QWidget>

namespace pexlora {

PopoverHost::PopoverHost(QWidget* owner)
    : m_owner(owner) {}

PopoverHost::~PopoverHost() {
    Popover* popover = m_popover;
    if (!popover)
        return;
    // Hiding it now would send focus and activation to an owner already half
    // gone; its parent deletes it (or the event loop, should the owner live on).
    popover->disconnect();
    for (QObject* inside : popover->findChildren<QObject*>())
        inside->disconnect();
    popover->deleteLater();
}

Popover* PopoverHost::open(std::unique_ptr<QWidget> content, QWidget* anchorWidget, const QRect& anchor,
                           Popover::Edge preferred) {
    dismiss();
    auto* popover = new Popover(m_owner);
    popover->setContent(content.release());
    connect(popover, &Popover::closed, this, &PopoverHost::popoverClosed);
    m_popover = popover;
    popover->popUp(anchorWidget, anchor, preferred);
    return popover;
}

Popover* PopoverHost::open(std::unique_ptr<QWidget> content, QWidget* anchorWidget, Popover::Edge preferred) {
    return open(std::move(content), anchorWidget, anchorWidget->rect(), preferred);
}

void PopoverHost::close() {
    if (m_popover)
        m_popover->close();
}

void PopoverHost::dismiss() {
    if (Popover* popover = release()) {
        popover->disconnect(this);
        popover->close();
    }
}

void PopoverHost::popoverClosed() {
    if (sender() != m_popover)
        return;
    release();
    emit closed();
}

Popover* PopoverHost::release() {
    Popover* popover = m_popover;
    m_popover.clear();
    if (popover)
        popover->deleteLater();
    return popover;
}

} // namespace pexlora
