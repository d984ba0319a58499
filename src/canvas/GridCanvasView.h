// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/CellLevels.h"
#include "canvas/CellRenderer.h"
#include "canvas/GroundRenderer.h"
#include "canvas/WheelPanner.h"
#include "model/GridViewModel.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

class QHelpEvent;

namespace pexlora {

class CanvasClock;
class CanvasTool;
class CanvasTools;
class CanvasViewContext;
class RenumberSession;
class SelectionPreview;
struct SystemColors;

// The grid of one document window: draws the cells of a model and turns pointer,
// wheel, pinch and key input into calls on it. Input goes to one tool object per
// mode and edit tool, which paints its own overlay, and scrolling to a panner;
// the canvas keeps the geometry, the drawing and the preview, and hosts the
// renumber session.
class GridCanvasView : public QWidget {
    Q_OBJECT

public:
    explicit GridCanvasView(QWidget* parent = nullptr);
    // With the clock the animations read, for tests.
    GridCanvasView(std::unique_ptr<CanvasClock> clock, QWidget* parent = nullptr);
    ~GridCanvasView() override;

    GridViewModel* viewModel() const { return m_model; }
    // Shows another model; handing it the one it already shows changes nothing.
    void setViewModel(GridViewModel* model);

    // The first cell, in list order, whose square holds the point (left and top
    // edges belong to the cell, right and bottom ones do not).
    const GridElement* hitElement(QPointF point) const;

    RenumberSession& renumberSession() { return *m_renumber; }
    const RenumberSession& renumberSession() const { return *m_renumber; }

    // Where the given cells are drawn, glow included: what a preview tick repaints.
    QRegion cellsRegion(const QSet<QUuid>& ids) const { return region(ids, true); }
    // Where the given cells' squares are: what a change of level or mark repaints,
    // all drawn inside them.
    QRegion cellSquares(const QSet<QUuid>& ids) const { return region(ids, false); }

    // The cells to ring as the console's selection; only the cells whose ring
    // comes or goes are repainted.
    void setConsoleSelection(const QSet<QUuid>& ids);
    const QSet<QUuid>& consoleSelection() const { return m_consoleSelection; }
    // Cells outlined for a moment, as the cells of a console group pointed at in a list.
    void setOutlinedCells(const QSet<QUuid>& ids);
    const QSet<QUuid>& outlinedCells() const { return m_outlined; }

    // Live intensity of cells, as a fraction 0 to 1 of full: cells in `levels`
    // take theirs, cells in `gone` lose theirs and are drawn as without a desk.
    // Only the cells whose drawing changes are repainted.
    void updateCellLevels(const QHash<QUuid, float>& levels, const QSet<QUuid>& gone);
    void clearCellLevels();
    // The cells whose channel the desk has no patch for; they carry a corner mark.
    void setUnpatchedCells(const QSet<QUuid>& ids);
    const CellLevels& cellLevels() const { return m_cellLevels; }
    // The tooltip of the cell under the pointer; an empty text shows none.
    void setCellToolTip(std::function<QString(const GridElement&)> text);

    // Paints the canvas as the screen shows it, for a paint event or a benchmark.
    void paintCanvas(QPainter& painter, const QRegion& dirty);

    SelectionPreview& preview() { return *m_preview; }
    const SelectionPreview& preview() const { return *m_preview; }
    bool isBouncing() const { return m_panner.isBouncing(); }

    // View ▸ Zoom In, Zoom Out, Actual Size, Zoom to Fit and Zoom to Selection: about
    // the middle of the canvas, or framing the cells with a margin.
    static constexpr double zoomStep = 1.25;
    static constexpr double fitMargin = 24.0;
    void zoomIn();
    void zoomOut();
    void zoomToActualSize();
    void zoomToFit();
    // The cells selected in the mode shown; nothing happens without any.
    void zoomToSelection();
    // One step of the spring back to the grid origin; the timer calls it.
    void bounceTick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    CanvasTool* activeTool() const;
    void toolMayHaveChanged();
    void modifiersChanged(Qt::KeyboardModifiers modifiers);
    QRegion region(const QSet<QUuid>& ids, bool withGlow) const;
    void repaintCells(const QSet<QUuid>& ids, bool withGlow = true);
    void paintOutlines(QPainter& painter, const SystemColors& colors) const;
    void showCellToolTip(QHelpEvent& event);
    // Where the pointer is while it is over the canvas.
    std::optional<QPointF> pointer() const;
    // Repaints where the overlay following the pointer was and where it is now,
    // after anything that moves it, changes its text or shows or hides it.
    void updatePointerOverlay();
    void synchronisePreview();
    // Shifts what the screen shows by the pan's change where that is exact.
    void panned();
    CellMarks cellMarks() const;

    QPointer<GridViewModel> m_model;
    QList<QMetaObject::Connection> m_modelConnections;
    std::unique_ptr<CanvasClock> m_clock;
    SelectionPreview* m_preview;
    GroundRenderer m_ground;
    CellRenderer m_cells;
    std::unique_ptr<RenumberSession> m_renumber;
    std::unique_ptr<CanvasViewContext> m_toolContext;
    std::unique_ptr<CanvasTools> m_tools;
    bool m_pressed = false;
    std::optional<QPointF> m_middleDrag; // where the middle button last was while it pans

    WheelPanner m_panner;
    QPointF m_mouseLocation;
    bool m_pointerInside = false;
    QRect m_pointerOverlayArea; // where it was last drawn, or asked to be
    QSizeF m_shownPan;          // the pan of what the screen shows
    QSet<QUuid> m_consoleSelection;
    QSet<QUuid> m_outlined;
    CellLevels m_cellLevels;
    std::function<QString(const GridElement&)> m_cellToolTip;
};

} // namespace pexlora
