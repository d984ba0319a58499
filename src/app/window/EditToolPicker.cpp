// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/EditToolPicker.h"

#include "app/window/QuickRenumberPanel.h"
#include "app/window/ToolButton.h"
#include "model/GridViewModel.h"

#include <QHBoxLayout>
#include <memory>

namespace pexlora {

EditToolPicker::EditToolPicker(GridViewModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_popover(this) {
    struct Tool {
        EditTool tool;
        const char* symbol;
        const char* title;
    };
    const Tool tools[] = {
        {EditTool::selectElement, "cursorarrow", QT_TR_NOOP("Select")},
        {EditTool::addElement, "plus.app.fill", QT_TR_NOOP("Add")},
        {EditTool::renumber, "number", QT_TR_NOOP("Renumber")},
        {EditTool::quickRenumber, "numbers", QT_TR_NOOP("Quick #")},
    };
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    for (const Tool& tool : tools) {
        auto* button = new ToolButton(QString::fromLatin1(tool.symbol), tr(tool.title), this);
        m_buttons[static_cast<std::size_t>(tool.tool)] = button;
        row->addWidget(button, 0, Qt::AlignVCenter);
        connect(button, &ToolButton::clicked, this, [this, which = tool.tool] { choose(which); });
    }
    button(EditTool::quickRenumber)->setToolTip(tr("Quick Renumber"));
    button(EditTool::quickRenumber)->setAccessibleName(tr("Quick Renumber"));

    connect(model, &GridViewModel::editToolChanged, this, &EditToolPicker::showActiveTool);
    connect(model, &GridViewModel::showQuickRenumberPanelChanged, this, &EditToolPicker::syncPopover);
    connect(&m_popover, &PopoverHost::closed, this, [this] {
        if (m_model)
            m_model->setShowQuickRenumberPanel(false);
    });
    showActiveTool();
}

void EditToolPicker::choose(EditTool tool) {
    if (!m_model)
        return;
    if (m_model->editTool() != tool)
        m_model->setEditTool(tool);
    // Choosing "Quick #" again while it is the tool only opens or closes its popover.
    if (tool == EditTool::quickRenumber)
        m_model->setShowQuickRenumberPanel(!m_model->showQuickRenumberPanel());
}

void EditToolPicker::showActiveTool() {
    if (!m_model)
        return;
    for (std::size_t i = 0; i < m_buttons.size(); ++i)
        m_buttons[i]->setActive(static_cast<EditTool>(i) == m_model->editTool());
}

void EditToolPicker::syncPopover() {
    if (!m_model)
        return;
    const bool wanted = m_model->showQuickRenumberPanel() && isVisible();
    if (wanted && !m_popover.isOpen()) {
        Popover* popover = m_popover.open(std::make_unique<QuickRenumberPanel>(m_model.data()),
                                          button(EditTool::quickRenumber), Popover::Edge::below);
        // The panel is there to number cells by clicking them: the click on the
        // grid that closes it numbers the cell too.
        popover->setOutsidePress(Popover::OutsidePress::passOn);
    } else if (!wanted) {
        m_popover.close();
    }
}

void EditToolPicker::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    syncPopover();
}

void EditToolPicker::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_popover.close();
}

} // namespace pexlora
