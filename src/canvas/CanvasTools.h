// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/CanvasToolContext.h"

#include <memory>

namespace pexlora {

class AddElementTool;
class CanvasTool;
class QuickRenumberTool;
class RenumberTool;
class SelectElementTool;
class SelectModeTool;

// The tools of one canvas, and which of them takes the pointer: the one of the
// model's mode, and in edit mode of its edit tool. At most one is active.
class CanvasTools {
public:
    explicit CanvasTools(CanvasToolContext& context);
    ~CanvasTools();
    CanvasTools(const CanvasTools&) = delete;
    CanvasTools& operator=(const CanvasTools&) = delete;

    // The tool that takes the pointer in the model's mode and tool; none without a model.
    CanvasTool* toolFor(const GridViewModel* model) const;

    CanvasTool* active() const { return m_active; }
    // Makes the model's tool the active one, cancelling a drag of the tool it
    // replaces so that no marquee or line is left to be drawn or applied later.
    // Returns whether the active tool changed.
    bool follow(const GridViewModel* model);
    // Leaves no tool active, cancelling the drag of the one that was while
    // `model`, the one it works on, is still there.
    void deactivate(const GridViewModel* model);

private:
    std::unique_ptr<SelectModeTool> m_selectMode;
    std::unique_ptr<SelectElementTool> m_selectElement;
    std::unique_ptr<AddElementTool> m_addElement;
    std::unique_ptr<RenumberTool> m_renumber;
    std::unique_ptr<QuickRenumberTool> m_quickRenumber;
    CanvasTool* m_active = nullptr;
};

} // namespace pexlora
