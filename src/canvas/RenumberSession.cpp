#include "canvas/RenumberSession.h"

#include "canvas/RenumberPopoverPanel.h"
#include "model/GridViewModel.h"
#include "widgets/Popover.h"

namespace pexlora {

RenumberSession::RenumberSession(QWidget& canvas)
    : m_canvas(canvas) {}

RenumberSession::~RenumberSession() {
    // The popover's close would otherwise reach a session half torn down.
    if (m_popover)
        m_popover->disconnect(this);
}

void RenumberSession::setModel(GridViewModel* model) {
    if (model == m_model)
        return;
    dismiss();
    m_model = model;
}

void RenumberSession::open(const QUuid& id) {
    if (!m_model)
        return;
    if (m_popover) {
        m_model->commitRenumber();
        dismiss();
    }
    const GridElement* element = m_model->element(id);
    if (!element)
        return;
    m_model->beginRenumber(id);
    auto* popover = new Popover(&m_canvas);
    auto* panel = new RenumberPopoverPanel(*m_model, popover);
    popover->setContent(panel);
    connect(panel, &RenumberPopoverPanel::commitRequested, this, [this] { close(true); });
    connect(panel, &RenumberPopoverPanel::cancelRequested, this, [this] { close(false); });
    connect(panel, &RenumberPopoverPanel::tabRequested, this, &RenumberSession::tabToNext);
    connect(popover, &Popover::closed, this, [this, popover] { popoverClosed(popover); });
    m_popover = popover;
    popover->popUp(&m_canvas, m_model->cellRect(element->position).toAlignedRect(), Popover::Edge::below);
    m_canvas.update();
}

void RenumberSession::close(bool commit) {
    if (!m_popover || !m_model)
        return;
    if (commit) {
        m_model->commitRenumber();
    } else {
        m_model->setEditingElementID(std::nullopt);
        m_model->setEditingElementText(QString());
    }
    dismiss();
    returnFocus();
}

void RenumberSession::tabToNext() {
    if (!m_model)
        return;
    const std::optional<QUuid> remembered = m_model->editingElementID();
    m_model->commitRenumber();
    dismiss();
    if (remembered) {
        const std::optional<QUuid> next = m_model->nextElementID(*remembered);
        if (next && m_model->element(*next)) {
            open(*next);
            return;
        }
    }
    returnFocus();
}

void RenumberSession::popoverClosed(Popover* popover) {
    // Closed by a click elsewhere: the typed number is kept, as on Return.
    if (popover != m_popover)
        return;
    if (m_model && m_model->editingElementID())
        m_model->commitRenumber();
    m_popover = nullptr;
    popover->deleteLater();
    m_canvas.update();
}

void RenumberSession::dismiss() {
    Popover* popover = m_popover;
    if (!popover)
        return;
    m_popover = nullptr;
    popover->disconnect(this);
    popover->close();
    popover->deleteLater();
}

void RenumberSession::returnFocus() {
    m_canvas.setFocus(Qt::PopupFocusReason);
    m_canvas.update();
}

} // namespace pexlora
