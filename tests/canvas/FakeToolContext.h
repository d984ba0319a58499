// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/CanvasToolContext.h"
#include "canvas/RenumberSession.h"
#include "model/GridViewModel.h"

#include <QWidget>

namespace pexlora::test {

// A canvas as a tool sees it, with no canvas: hits are the cell at the point's
// grid position.
class FakeToolContext final : public CanvasToolContext {
public:
    GridViewModel& model() const override { return m_model; }
    const GridElement* hitElement(QPointF point) const override {
        const std::optional<QUuid> id = m_model.elementAt(m_model.gridPosition(point));
        return id ? m_model.element(*id) : nullptr;
    }
    RenumberSession& renumberSession() const override { return m_renumber; }
    void repaint() override {}
    QFont font() const override { return m_anchor.font(); }
    int logicalDpi() const override { return 96; }
    QRectF viewRect() const override { return {0, 0, 600, 400}; }

private:
    mutable GridViewModel m_model;
    QWidget m_anchor;
    mutable RenumberSession m_renumber{m_anchor};
};

} // namespace pexlora::test
