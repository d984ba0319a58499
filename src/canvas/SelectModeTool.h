// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/CanvasTool.h"

#include <optional>

namespace pexlora {

// Select mode: a click on a cell selects it alone; a press on empty space starts
// a marquee whose modifier keys order the cells it takes when it is let go. A press
// on a cell that moves past the desktop's drag distance becomes a marquee from the
// press point, so that a packed rig can be taken from inside.
class SelectModeTool final : public CanvasTool {
public:
    using CanvasTool::CanvasTool;

    void pressed(const PointerEvent& event) override;
    void dragged(const PointerEvent& event) override;
    void released(const PointerEvent& event) override;
    void modifiersChanged(Qt::KeyboardModifiers modifiers) override;
    void cancel() override;
    void paintOverlay(QPainter& painter, const SystemColors& colors, std::optional<QPointF>) const override;
    bool overlayFixedToView() const override;

private:
    void startMarquee(QPointF at, Qt::KeyboardModifiers modifiers);

    bool m_dragging = false;
    std::optional<QPointF> m_pressedOnCell; // until the press is a click or a drag
};

} // namespace pexlora
