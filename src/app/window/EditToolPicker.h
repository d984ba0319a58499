// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridViewModel.h"
#include "widgets/PopoverHost.h"

#include <QPointer>
#include <QWidget>
#include <array>

namespace pexlora {

class ToolButton;

// The four editing tools of edit mode. The last one, "Quick #", also carries
// the quick-renumber popover, shown while the model's showQuickRenumberPanel is set.
class EditToolPicker : public QWidget {
    Q_OBJECT

public:
    explicit EditToolPicker(GridViewModel* model, QWidget* parent = nullptr);

    ToolButton* button(EditTool tool) const { return m_buttons[static_cast<std::size_t>(tool)]; }
    // The open quick-renumber popover, or null.
    Popover* quickRenumberPopover() const { return m_popover.popover(); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void choose(EditTool tool);
    void showActiveTool();
    // Opens or closes the popover to match the model; it can only stand beside a
    // visible button.
    void syncPopover();

    QPointer<GridViewModel> m_model;
    std::array<ToolButton*, 4> m_buttons{};
    PopoverHost m_popover;
};

} // namespace pexlora
