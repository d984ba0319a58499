// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/ContentView.h"

#include "canvas/GridCanvasView.h"

#include <QVBoxLayout>

namespace pexlora {

ContentView::ContentView(GridViewModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_stack(new QVBoxLayout(this))
    , m_canvas(new GridCanvasView(this)) {
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->setSpacing(0);
    m_stack->addWidget(m_canvas, 1);
    m_canvas->setViewModel(model);
    setMinimumSize(minimumContentSize);
}

void ContentView::setSelectionBar(QWidget* bar) {
    place(m_selectionBar, bar, 1);
}

void ContentView::setStatusBar(QWidget* bar) {
    // Below the selection bar, whether or not that one is there yet.
    place(m_statusBar, bar, m_selectionBar ? 2 : 1);
}

void ContentView::place(QPointer<QWidget>& slot, QWidget* bar, int index) {
    if (slot == bar)
        return;
    if (slot) {
        m_stack->removeWidget(slot);
        slot->hide();
        slot->deleteLater();
    }
    slot = bar;
    if (bar) {
        bar->setParent(this);
        m_stack->insertWidget(index, bar, 0);
        bar->show();
    }
}

} // namespace pexlora
