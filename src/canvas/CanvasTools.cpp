// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/CanvasTools.h"

#include "canvas/AddElementTool.h"
#include "canvas/QuickRenumberTool.h"
#include "canvas/RenumberTool.h"
#include "canvas/SelectElementTool.h"
#include "canvas/SelectModeTool.h"
#include "model/GridViewModel.h"

namespace pexlora {

CanvasTools::CanvasTools(CanvasToolContext& context)
    : m_selectMode(std::make_unique<SelectModeTool>(context))
    , m_selectElement(std::make_unique<SelectElementTool>(context))
    , m_addElement(std::make_unique<AddElementTool>(context))
    , m_renumber(std::make_unique<RenumberTool>(context))
    , m_quickRenumber(std::make_unique<QuickRenumberTool>(context)) {}

CanvasTools::~CanvasTools() = default;

CanvasTool* CanvasTools::toolFor(const GridViewModel* model) const {
    if (!model)
        return nullptr;
    if (model->mode() == AppMode::select)
        return m_selectMode.get();
    switch (model->editTool()) {
    case EditTool::selectElement:
        return m_selectElement.get();
    case EditTool::addElement:
        return m_addElement.get();
    case EditTool::renumber:
        return m_renumber.get();
    case EditTool::quickRenumber:
        return m_quickRenumber.get();
    }
    return m_selectMode.get();
}

bool CanvasTools::follow(const GridViewModel* model) {
    CanvasTool* tool = toolFor(model);
    if (tool == m_active)
        return false;
    // Without a model the old tool has nothing left to cancel on.
    if (m_active && model)
        m_active->cancel();
    m_active = tool;
    return true;
}

void CanvasTools::deactivate(const GridViewModel* model) {
    if (m_active && model)
        m_active->cancel();
    m_active = nullptr;
}

} // namespace pexlora
