// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/GridViewModel.h"

#include <cmath>
#include <limits>

namespace pexlora {

namespace {

// Content comparison of the observation rule: doubles compare numerically, so a
// NaN differs from everything, itself included. Qt's own operator== on QSizeF
// and QPointF is fuzzy, which would swallow small pans.
template <typename T> bool sameValue(const T& a, const T& b) {
    return a == b;
}
bool sameValue(double a, double b) {
    return a == b;
}
bool sameValue(QSizeF a, QSizeF b) {
    return a.width() == b.width() && a.height() == b.height();
}
bool sameValue(QPointF a, QPointF b) {
    return a.x() == b.x() && a.y() == b.y();
}
bool sameValue(const std::optional<QPointF>& a, const std::optional<QPointF>& b) {
    if (a.has_value() != b.has_value())
        return false;
    return !a || sameValue(*a, *b);
}

// floor(value) held inside [0, max int64]; NaN counts as 0.
std::int64_t clampedCellIndex(double value) {
    const double cell = std::floor(value);
    if (!(cell > 0))
        return 0;
    // 2^63 is exactly representable; anything at or above it does not fit.
    if (cell >= 9223372036854775808.0)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(cell);
}

} // namespace

GridViewModel::GridViewModel(QObject* parent)
    : QObject(parent) {}

GridViewModel::~GridViewModel() = default;

template <typename T> void GridViewModel::assign(T& field, const T& value, void (GridViewModel::*changed)()) {
    if (sameValue(field, value))
        return;
    field = value;
    emit(this->*changed)();
}

void GridViewModel::setSelectionGroups(const SelectionGroups& groups) {
    assign(m_selectionGroups, groups, &GridViewModel::selectionGroupsChanged);
}

void GridViewModel::setSelectionModifier(MarqueeModifier modifier) {
    assign(m_selectionModifier, modifier, &GridViewModel::selectionModifierChanged);
}

void GridViewModel::setEditSelectedIDs(const QSet<QUuid>& ids) {
    assign(m_editSelectedIDs, ids, &GridViewModel::editSelectedIDsChanged);
}

void GridViewModel::setMode(AppMode mode) {
    assign(m_mode, mode, &GridViewModel::modeChanged);
    setPreviewPlaying(m_mode == AppMode::select);
}

void GridViewModel::setEditTool(EditTool tool) {
    assign(m_editTool, tool, &GridViewModel::editToolChanged);
}

void GridViewModel::setPreviewPlaying(bool playing) {
    assign(m_isPreviewPlaying, playing, &GridViewModel::isPreviewPlayingChanged);
}

void GridViewModel::setZoomScale(double scale) {
    assign(m_zoomScale, scale, &GridViewModel::zoomScaleChanged);
}

void GridViewModel::setPanOffset(QSizeF offset) {
    assign(m_panOffset, offset, &GridViewModel::panOffsetChanged);
}

void GridViewModel::setEditingElementID(std::optional<QUuid> id) {
    assign(m_editingElementID, id, &GridViewModel::editingElementIDChanged);
}

void GridViewModel::setEditingElementText(const QString& text) {
    assign(m_editingElementText, text, &GridViewModel::editingElementTextChanged);
}

void GridViewModel::setMarqueeStart(std::optional<QPointF> point) {
    assign(m_marqueeStart, point, &GridViewModel::marqueeStartChanged);
}

void GridViewModel::setMarqueeEnd(std::optional<QPointF> point) {
    assign(m_marqueeEnd, point, &GridViewModel::marqueeEndChanged);
}

void GridViewModel::setMarqueeModifier(MarqueeModifier modifier) {
    assign(m_marqueeModifier, modifier, &GridViewModel::marqueeModifierChanged);
}

void GridViewModel::setLatchedMarqueeModifier(MarqueeModifier modifier) {
    assign(m_latchedMarqueeModifier, modifier, &GridViewModel::latchedMarqueeModifierChanged);
}

void GridViewModel::setShowQuickRenumberPanel(bool show) {
    assign(m_showQuickRenumberPanel, show, &GridViewModel::showQuickRenumberPanelChanged);
}

void GridViewModel::setQuickRenumberNext(const QString& text) {
    assign(m_quickRenumberNext, text, &GridViewModel::quickRenumberNextChanged);
}

void GridViewModel::setQuickRenumberIncrement(const QString& text) {
    assign(m_quickRenumberIncrement, text, &GridViewModel::quickRenumberIncrementChanged);
}

void GridViewModel::setDirty(bool dirty) {
    assign(m_isDirty, dirty, &GridViewModel::isDirtyChanged);
}

void GridViewModel::markDirty() {
    setDirty(true);
}

void GridViewModel::setElements(GridElements elements) {
    if (m_layout.reset(std::move(elements)))
        emit elementsChanged();
}

const GridElement* GridViewModel::element(const QUuid& id) const {
    return m_layout.element(id);
}

QRectF GridViewModel::cellRect(GridPosition position) const {
    const double size = cellSize();
    return {static_cast<double>(position.col) * size + m_panOffset.width(),
            static_cast<double>(position.row) * size + m_panOffset.height(), size, size};
}

GridPosition GridViewModel::gridPosition(QPointF point) const {
    const double size = cellSize();
    return {clampedCellIndex((point.x() - m_panOffset.width()) / size),
            clampedCellIndex((point.y() - m_panOffset.height()) / size)};
}

} // namespace pexlora
