// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/RenumberSession.h"

#include "canvas/RenumberPopoverPanel.h"
#include "model/GridViewModel.h"

#include <memory>

namespace pexlora {

RenumberSession::RenumberSession(QWidget& canvas)
    : m_canvas(canvas)
    , m_popover(&canvas) {
    connect(&m_popover, &PopoverHost::closed, this, &RenumberSession::popoverClosed);
}

void RenumberSession::setModel(GridViewModel* model) {
    if (model == m_model)
        return;
    m_popover.dismiss();
    m_model = model;
}

void RenumberSession::open(const QUuid& id) {
    if (!m_model)
        return;
    if (m_popover.isOpen()) {
        m_model->commitRenumber();
        m_popover.dismiss();
    }
    const GridElement* element = m_model->element(id);
    if (!element)
        return;
    m_model->beginRenumber(id);
    auto panel = std::make_unique<RenumberPopoverPanel>(*m_model);
    connect(panel.get(), &RenumberPopoverPanel::commitRequested, this, [this] { close(true); });
    connect(panel.get(), &RenumberPopoverPanel::cancelRequested, this, [this] { close(false); });
    connect(panel.get(), &RenumberPopoverPanel::tabRequested, this, &RenumberSession::tabToNext);
    Popover* popover =
        m_popover.open(std::move(panel), &m_canvas, m_model->cellRect(element->position).toAlignedRect(),
                       Popover::Edge::below);
    // A click on another cell keeps the typed number and goes on to work there,
    // as the Renumber tool's next cell or the Select tool's next selection.
    popover->setOutsidePress(Popover::OutsidePress::passOn);
    m_canvas.update();
}

void RenumberSession::close(bool commit) {
    if (!m_popover.isOpen() || !m_model)
        return;
    if (commit) {
        m_model->commitRenumber();
    } else {
        m_model->setEditingElementID(std::nullopt);
        m_model->setEditingElementText(QString());
    }
    m_popover.dismiss();
    returnFocus();
}

void RenumberSession::tabToNext() {
    if (!m_model)
        return;
    const std::optional<QUuid> remembered = m_model->editingElementID();
    m_model->commitRenumber();
    m_popover.dismiss();
    if (remembered) {
        const std::optional<QUuid> next = m_model->nextElementID(*remembered);
        if (next && m_model->element(*next)) {
            open(*next);
            return;
        }
    }
    returnFocus();
}

void RenumberSession::popoverClosed() {
    // Closed by a click elsewhere: the typed number is kept, as on Return.
    if (m_model && m_model->editingElementID())
        m_model->commitRenumber();
    m_canvas.update();
}

void RenumberSession::returnFocus() {
    m_canvas.setFocus(Qt::PopupFocusReason);
    m_canvas.update();
}

} // namespace pexlora
