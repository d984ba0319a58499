// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/GridCanvasView.h"

#include "canvas/CanvasClock.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/CanvasTool.h"
#include "canvas/CanvasTools.h"
#include "canvas/CanvasViewContext.h"
#include "canvas/PanZoom.h"
#include "canvas/RenumberSession.h"
#include "canvas/SelectionPreview.h"
#include "widgets/PlainMessage.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>
#include <span>

namespace pexlora {

namespace {

// Pairwise, so that no rectangle is merged into the whole region again and again.
QRegion united(std::span<const QRect> rects) {
    if (rects.empty())
        return {};
    if (rects.size() == 1)
        return QRegion(rects.front());
    const std::size_t half = rects.size() / 2;
    return united(rects.first(half)).united(united(rects.subspan(half)));
}

Qt::KeyboardModifier modifierOfKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
        return Qt::ShiftModifier;
    case Qt::Key_Alt:
        return Qt::AltModifier;
    case Qt::Key_Control:
        return Qt::ControlModifier;
    case Qt::Key_Meta:
    case Qt::Key_Super_L: // what X11 and Wayland send for the Super (Windows) keys
    case Qt::Key_Super_R:
        return Qt::MetaModifier;
    default:
        return Qt::NoModifier;
    }
}

} // namespace

GridCanvasView::GridCanvasView(QWidget* parent)
    : GridCanvasView(std::make_unique<SteadyClock>(), parent) {}

GridCanvasView::GridCanvasView(std::unique_ptr<CanvasClock> clock, QWidget* parent)
    : QWidget(parent)
    , m_clock(std::move(clock))
    , m_preview(new SelectionPreview(*m_clock, this))
    , m_renumber(std::make_unique<RenumberSession>(*this))
    , m_toolContext(std::make_unique<CanvasViewContext>(*this))
    , m_tools(std::make_unique<CanvasTools>(*m_toolContext)) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(m_preview, &SelectionPreview::cellsChanged, this,
            [this](const QSet<QUuid>& ids) { repaintCells(ids); });
}

GridCanvasView::~GridCanvasView() = default;

void GridCanvasView::setViewModel(GridViewModel* model) {
    if (model == m_model)
        return;
    m_renumber->setModel(model);
    m_tools->deactivate(m_model);
    for (const auto& connection : std::as_const(m_modelConnections))
        disconnect(connection);
    m_modelConnections.clear();
    m_preview->stop();
    m_panner.setModel(model);
    m_model = model;
    if (model) {
        using M = GridViewModel;
        for (const auto signal :
             {&M::elementsChanged, &M::selectionGroupsChanged, &M::selectionModifierChanged,
              &M::editSelectedIDsChanged, &M::marqueeStartChanged, &M::marqueeEndChanged,
              &M::marqueeModifierChanged, &M::zoomScaleChanged, &M::quickRenumberNextChanged,
              &M::isPreviewPlayingChanged})
            m_modelConnections.append(connect(model, signal, this, qOverload<>(&QWidget::update)));
        for (const auto signal : {&M::modeChanged, &M::editToolChanged})
            m_modelConnections.append(connect(model, signal, this, &GridCanvasView::toolMayHaveChanged));
        m_modelConnections.append(connect(model, &M::panOffsetChanged, this, &GridCanvasView::panned));
        m_shownPan = model->panOffset();
        // The Quick # label keeps clear of the square under the pointer, wherever that goes.
        for (const auto signal : {&M::quickRenumberNextChanged, &M::zoomScaleChanged})
            m_modelConnections.append(connect(model, signal, this, &GridCanvasView::updatePointerOverlay));
        // The preview follows what it plays, never the painting.
        for (const auto signal : {&M::selectionGroupsChanged, &M::selectionModifierChanged,
                                  &M::isPreviewPlayingChanged, &M::modeChanged})
            m_modelConnections.append(connect(model, signal, this, &GridCanvasView::synchronisePreview));
    }
    toolMayHaveChanged();
    synchronisePreview();
    update();
}

CanvasTool* GridCanvasView::activeTool() const {
    return m_tools->active();
}

void GridCanvasView::toolMayHaveChanged() {
    m_tools->follow(m_model);
    m_pressed = false;
    setCursor(activeTool() ? activeTool()->cursor() : Qt::ArrowCursor);
    updatePointerOverlay();
    update();
}

const GridElement* GridCanvasView::hitElement(QPointF point) const {
    if (!m_model)
        return nullptr;
    // Positions are unique, so the cell at the point's position is the one; the
    // position is raised to column and row 0 left of and above the grid, where
    // the point is then outside that cell.
    const GridPosition position = m_model->gridPosition(point);
    const std::optional<QUuid> id = m_model->elementAt(position);
    if (!id)
        return nullptr;
    const QRectF cell = m_model->cellRect(position);
    const double size = m_model->cellSize();
    if (point.x() < cell.left() || point.x() >= cell.left() + size || point.y() < cell.top() ||
        point.y() >= cell.top() + size)
        return nullptr;
    return m_model->element(*id);
}

CellMarks GridCanvasView::cellMarks() const {
    const CanvasTool* tool = activeTool();
    return {tool ? tool->selectionDragOffset() : std::nullopt, tool && tool->selectionDragRefused(),
            m_consoleSelection, &m_cellLevels};
}

std::optional<QPointF> GridCanvasView::pointer() const {
    if (m_pointerInside && rect().contains(m_mouseLocation.toPoint()))
        return m_mouseLocation;
    return std::nullopt;
}

// -- Drawing ------------------------------------------------------------------

void GridCanvasView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    paintCanvas(painter, event->region());
}

void GridCanvasView::paintCanvas(QPainter& painter, const QRegion& dirty) {
    const SystemColors colors = SystemColors::fromPalette(palette());
    if (!m_model) {
        painter.fillRect(dirty.boundingRect(), colors.controlBackground);
        return;
    }
    painter.save();
    painter.setClipRegion(dirty, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    m_ground.paint(painter, dirty, rect(), *m_model, colors);
    m_cells.paint(painter, dirty, *m_model, cellMarks(), *m_preview, m_clock->now(), colors);
    paintOutlines(painter, colors);
    if (const CanvasTool* tool = activeTool())
        tool->paintOverlay(painter, colors, pointer());
    painter.restore();
}

void GridCanvasView::panned() {
    const QSizeF pan = m_model ? m_model->panOffset() : QSizeF();
    const double dx = pan.width() - m_shownPan.width();
    const double dy = pan.height() - m_shownPan.height();
    m_shownPan = pan;
    // Everything on screen but the overlays fixed to the view (the marquees,
    // the Quick # label) moves with the grid, so the screen is shifted and only
    // the strip it uncovers is painted. Only by whole device pixels, so that
    // every cell, line and number lands on the pixels it would be drawn at.
    const qreal ratio = devicePixelRatioF();
    const auto whole = [ratio](double v) {
        return std::isfinite(v) && v == std::round(v) && v * ratio == std::round(v * ratio);
    };
    const bool viewOverlay =
        !m_model || (activeTool() && activeTool()->overlayFixedToView()) || !m_pointerOverlayArea.isNull();
    if (isVisible() && !viewOverlay && whole(dx) && whole(dy) && std::abs(dx) < width() &&
        std::abs(dy) < height())
        scroll(static_cast<int>(dx), static_cast<int>(dy));
    else
        update();
    updatePointerOverlay();
}

void GridCanvasView::setConsoleSelection(const QSet<QUuid>& ids) {
    if (ids == m_consoleSelection)
        return;
    // Whatever is in one set and not in the other: the rings that come and go.
    QSet<QUuid> changed = ids;
    for (const QUuid& id : std::as_const(m_consoleSelection))
        if (!changed.remove(id))
            changed.insert(id);
    m_consoleSelection = ids;
    repaintCells(changed);
}

void GridCanvasView::updateCellLevels(const QHash<QUuid, float>& levels, const QSet<QUuid>& gone) {
    repaintCells(m_cellLevels.update(levels, gone), false);
}

void GridCanvasView::clearCellLevels() {
    repaintCells(m_cellLevels.clear(), false);
}

void GridCanvasView::setUnpatchedCells(const QSet<QUuid>& ids) {
    repaintCells(m_cellLevels.setUnpatched(ids), false);
}

void GridCanvasView::setCellToolTip(std::function<QString(const GridElement&)> text) {
    m_cellToolTip = std::move(text);
}

void GridCanvasView::showCellToolTip(QHelpEvent& event) {
    const GridElement* cell = m_cellToolTip ? hitElement(event.pos()) : nullptr;
    const QString text = cell ? m_cellToolTip(*cell) : QString();
    if (text.isEmpty()) {
        QToolTip::hideText();
        event.ignore();
        return;
    }
    // Kept while the pointer stays on the cell, taken down as it leaves it.
    const QRect area = m_model->cellRect(cell->position).toAlignedRect();
    QToolTip::showText(event.globalPos(), plainToolTip(text), this, area);
}

void GridCanvasView::setOutlinedCells(const QSet<QUuid>& ids) {
    if (ids == m_outlined)
        return;
    repaintCells(m_outlined);
    m_outlined = ids;
    repaintCells(m_outlined);
}

void GridCanvasView::paintOutlines(QPainter& painter, const SystemColors& colors) const {
    if (m_outlined.isEmpty())
        return;
    QPen pen(colors.accent, 2.0, Qt::DashLine);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const double radius = m_model->cellSize() * 0.12;
    for (const QUuid& id : m_outlined)
        if (const GridElement* element = m_model->element(id))
            painter.drawRoundedRect(m_model->cellRect(element->position).adjusted(1, 1, -1, -1), radius,
                                    radius);
}

void GridCanvasView::repaintCells(const QSet<QUuid>& ids, bool withGlow) {
    // A tick changes a handful of cells; repainting only them keeps it cheap.
    constexpr qsizetype maxRects = 512;
    if (!m_model || ids.isEmpty())
        return;
    if (ids.size() > maxRects)
        update();
    else if (const QRegion changed = region(ids, withGlow); !changed.isEmpty())
        update(changed);
}

QRegion GridCanvasView::region(const QSet<QUuid>& ids, bool withGlow) const {
    if (!m_model)
        return {};
    std::vector<QRect> rects;
    rects.reserve(static_cast<std::size_t>(ids.size()));
    const std::optional<GridOffset> drag = cellMarks().dragOffset;
    for (const QUuid& id : ids) {
        const GridElement* element = m_model->element(id);
        if (!element)
            continue;
        QRectF cell = m_model->cellRect(element->position);
        if (drag && m_model->editSelectedIDs().contains(id))
            cell.translate(static_cast<double>(drag->columns) * m_model->cellSize(),
                           static_cast<double>(drag->rows) * m_model->cellSize());
        const QRectF extent = withGlow ? CellRenderer::drawnExtent(cell) : cell;
        if (extent.intersects(rect()))
            rects.push_back(extent.toAlignedRect().intersected(rect()));
    }
    return united(rects);
}

void GridCanvasView::updatePointerOverlay() {
    const std::optional<QPointF> at = pointer();
    const QRect area = activeTool() && at && m_model ? activeTool()->pointerOverlayArea(*at) : QRect();
    if (area.isNull() && m_pointerOverlayArea.isNull())
        return;
    update(QRegion(m_pointerOverlayArea).united(area));
    m_pointerOverlayArea = area;
}

// -- Pointer and keys ---------------------------------------------------------

void GridCanvasView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (m_model && event->button() == Qt::MiddleButton) {
        m_middleDrag = event->position();
        return;
    }
    if (!m_model || event->button() != Qt::LeftButton || !activeTool())
        return;
    // A release lost to another window leaves no drag behind for this press to finish.
    activeTool()->cancel();
    m_pressed = true;
    m_mouseLocation = event->position();
    activeTool()->pressed({event->position(), event->modifiers(), 1});
    updatePointerOverlay();
}

void GridCanvasView::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt sends this in place of the second press of a double click.
    setFocus(Qt::MouseFocusReason);
    if (!m_model || event->button() != Qt::LeftButton || !activeTool())
        return;
    activeTool()->cancel();
    m_pressed = true;
    activeTool()->pressed({event->position(), event->modifiers(), 2});
}

void GridCanvasView::mouseMoveEvent(QMouseEvent* event) {
    if (m_middleDrag && (event->buttons() & Qt::MiddleButton)) {
        m_panner.drag(event->position() - *std::exchange(m_middleDrag, event->position()));
        return;
    }
    if (!m_model || !activeTool())
        return;
    m_mouseLocation = event->position();
    if (m_pressed && (event->buttons() & Qt::LeftButton))
        activeTool()->dragged({event->position(), event->modifiers(), 1});
    else
        activeTool()->hovered(event->position());
    updatePointerOverlay();
}

void GridCanvasView::mouseReleaseEvent(QMouseEvent* event) {
    if (m_middleDrag && event->button() == Qt::MiddleButton) {
        m_middleDrag.reset();
        m_panner.dragFinished();
        return;
    }
    if (!m_model || event->button() != Qt::LeftButton || !activeTool() || !m_pressed)
        return;
    m_pressed = false;
    activeTool()->released({event->position(), event->modifiers(), 1});
}

void GridCanvasView::keyPressEvent(QKeyEvent* event) {
    if (const Qt::KeyboardModifier key = modifierOfKey(event->key()); key != Qt::NoModifier) {
        modifiersChanged(event->modifiers() | key);
        QWidget::keyPressEvent(event);
        return;
    }
    // Escape first gives up a drag under way: the marquee, the move or the line is dropped.
    if (event->key() == Qt::Key_Escape && m_pressed && activeTool()) {
        m_pressed = false;
        activeTool()->cancel();
        update();
        event->accept();
        return;
    }
    // Escape lets go of the order latched in the key legend.
    if (event->key() == Qt::Key_Escape && m_model &&
        m_model->latchedMarqueeModifier() != MarqueeModifier::none) {
        m_model->setLatchedMarqueeModifier(MarqueeModifier::none);
        modifiersChanged(event->modifiers());
        event->accept();
        return;
    }
    // Delete is the window's Edit ▸ Delete, not the canvas's.
    QWidget::keyPressEvent(event);
}

void GridCanvasView::keyReleaseEvent(QKeyEvent* event) {
    if (const Qt::KeyboardModifier key = modifierOfKey(event->key()); key != Qt::NoModifier)
        modifiersChanged(event->modifiers() & ~Qt::KeyboardModifiers(key));
    QWidget::keyReleaseEvent(event);
}

void GridCanvasView::modifiersChanged(Qt::KeyboardModifiers modifiers) {
    if (m_model && activeTool())
        activeTool()->modifiersChanged(modifiers);
}

void GridCanvasView::enterEvent(QEnterEvent* event) {
    m_pointerInside = true;
    m_mouseLocation = event->position();
    setCursor(activeTool() ? activeTool()->cursor() : Qt::ArrowCursor);
    updatePointerOverlay();
    QWidget::enterEvent(event);
}

void GridCanvasView::leaveEvent(QEvent* event) {
    m_pointerInside = false;
    unsetCursor();
    updatePointerOverlay();
    QWidget::leaveEvent(event);
}

void GridCanvasView::resizeEvent(QResizeEvent* event) {
    updatePointerOverlay(); // it shows only while the pointer is inside
    QWidget::resizeEvent(event);
}

void GridCanvasView::synchronisePreview() {
    // Nothing animates where nobody can see it.
    if (m_model && isVisible())
        m_preview->synchronise(*m_model);
}

void GridCanvasView::showEvent(QShowEvent* event) {
    synchronisePreview();
    QWidget::showEvent(event);
}

void GridCanvasView::hideEvent(QHideEvent* event) {
    // Nothing animates where nobody can see it; showing the canvas starts the
    // preview again, and a bounce lands where it would have come to rest.
    m_preview->stop();
    m_panner.finishBounce();
    QWidget::hideEvent(event);
}

// -- Panning and zooming ------------------------------------------------------

void GridCanvasView::wheelEvent(QWheelEvent* event) {
    if (!m_model) {
        event->ignore();
        return;
    }
    event->accept();
    m_panner.wheel(*event);
}

bool GridCanvasView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        showCellToolTip(*static_cast<QHelpEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::NativeGesture) {
        const auto* gesture = static_cast<QNativeGestureEvent*>(event);
        if (gesture->gestureType() == Qt::ZoomNativeGesture && m_model) {
            m_panner.pinch(gesture->value(), gesture->position());
            return true;
        }
    }
    return QWidget::event(event);
}

void GridCanvasView::zoomIn() {
    m_panner.zoomAbout(zoomStep, QRectF(rect()).center());
}

void GridCanvasView::zoomOut() {
    m_panner.zoomAbout(1.0 / zoomStep, QRectF(rect()).center());
}

void GridCanvasView::zoomToActualSize() {
    if (m_model)
        m_panner.zoomAbout(1.0 / m_model->zoomScale(), QRectF(rect()).center());
}

namespace {

// The columns and rows the cells stand on, right and bottom edges outside.
QRectF cellBounds(const GridViewModel& model, const auto& ids) {
    QRectF bounds;
    for (const auto& id : ids)
        if (const GridElement* cell = model.element(id))
            bounds |= QRectF(double(cell->position.col), double(cell->position.row), 1, 1);
    return bounds;
}

void showView(GridViewModel& model, const GridView& view) {
    model.setZoomScale(view.scale);
    model.setPanOffset(view.pan);
}

} // namespace

void GridCanvasView::zoomToFit() {
    if (!m_model || m_model->elements().empty())
        return;
    std::vector<QUuid> all;
    for (const GridElement& cell : m_model->elements())
        all.push_back(cell.id);
    showView(*m_model, fittedView(cellBounds(*m_model, all), size(), GridViewModel::baseCellSize, fitMargin));
}

void GridCanvasView::zoomToSelection() {
    if (!m_model)
        return;
    const QRectF bounds = m_model->mode() == AppMode::select
                              ? cellBounds(*m_model, m_model->flatSelection())
                              : cellBounds(*m_model, m_model->editSelectedIDs());
    if (bounds.isEmpty())
        return;
    showView(*m_model, fittedView(bounds, size(), GridViewModel::baseCellSize, fitMargin));
}

void GridCanvasView::bounceTick() {
    m_panner.bounceTick();
}

} // namespace pexlora
