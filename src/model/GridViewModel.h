// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridElement.h"
#include "model/GridLayout.h"
#include "model/LayoutEdit.h"
#include "model/ModelTypes.h"

#include <QHash>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QSet>
#include <QSizeF>
#include <QUuid>
#include <optional>
#include <span>

namespace pexlora {

struct PersistedState;
struct DocumentError;
template <typename T, typename E> class Result;
struct Unit;

// Everything one document window shows and edits. The canvas, the toolbar, the
// panels and the selection bar of a window share one model; each observed field
// has a getter, a setter and a <field>Changed signal. A setter emits only when
// the value really changes (doubles compare exactly, a NaN never equals), while
// an in-place change of a collection always emits, once, after the change.
class GridViewModel : public QObject {
    Q_OBJECT

public:
    static constexpr double baseCellSize = 60.0;

    explicit GridViewModel(QObject* parent = nullptr);
    ~GridViewModel() override;

    // -- Observed fields --------------------------------------------------------

    const GridElements& elements() const { return m_layout.elements(); }

    const SelectionGroups& selectionGroups() const { return m_selectionGroups; }
    void setSelectionGroups(const SelectionGroups& groups);

    MarqueeModifier selectionModifier() const { return m_selectionModifier; }
    void setSelectionModifier(MarqueeModifier modifier);

    const QSet<QUuid>& editSelectedIDs() const { return m_editSelectedIDs; }
    void setEditSelectedIDs(const QSet<QUuid>& ids);

    AppMode mode() const { return m_mode; }
    // Entering select mode starts the preview and entering edit mode stops it,
    // also when the mode was already the one assigned.
    void setMode(AppMode mode);

    EditTool editTool() const { return m_editTool; }
    void setEditTool(EditTool tool);

    bool isPreviewPlaying() const { return m_isPreviewPlaying; }
    void setPreviewPlaying(bool playing);

    double zoomScale() const { return m_zoomScale; }
    void setZoomScale(double scale);

    // View position, in points, of the top-left corner of the cell at column 0, row 0.
    QSizeF panOffset() const { return m_panOffset; }
    void setPanOffset(QSizeF offset);

    std::optional<QUuid> editingElementID() const { return m_editingElementID; }
    void setEditingElementID(std::optional<QUuid> id);

    const QString& editingElementText() const { return m_editingElementText; }
    void setEditingElementText(const QString& text);

    std::optional<QPointF> marqueeStart() const { return m_marqueeStart; }
    void setMarqueeStart(std::optional<QPointF> point);

    std::optional<QPointF> marqueeEnd() const { return m_marqueeEnd; }
    void setMarqueeEnd(std::optional<QPointF> point);

    MarqueeModifier marqueeModifier() const { return m_marqueeModifier; }
    void setMarqueeModifier(MarqueeModifier modifier);
    // The order chosen in the key legend for the following marquees while no
    // modifier key is held, for desktops that keep those keys for themselves.
    MarqueeModifier latchedMarqueeModifier() const { return m_latchedMarqueeModifier; }
    void setLatchedMarqueeModifier(MarqueeModifier modifier);

    bool showQuickRenumberPanel() const { return m_showQuickRenumberPanel; }
    void setShowQuickRenumberPanel(bool show);

    const QString& quickRenumberNext() const { return m_quickRenumberNext; }
    void setQuickRenumberNext(const QString& text);

    const QString& quickRenumberIncrement() const { return m_quickRenumberIncrement; }
    void setQuickRenumberIncrement(const QString& text);

    bool isDirty() const { return m_isDirty; }
    // Every edit of the layout sets the flag; the document window clears it after
    // a successful save and when undo returns to the saved state.
    void setDirty(bool dirty);

    // -- Lookups and geometry ---------------------------------------------------

    // The cells with their indexes, for readers that look up many at a time.
    const GridLayout& layout() const { return m_layout; }
    // Which element occupies each position: one entry per element.
    const QHash<GridPosition, QUuid>& positionIndex() const { return m_layout.positionIndex(); }
    std::optional<QUuid> elementAt(GridPosition position) const { return m_layout.elementAt(position); }
    // The first element with that ID, as every lookup by ID takes it.
    const GridElement* element(const QUuid& id) const;

    double cellSize() const { return baseCellSize * m_zoomScale; }
    QRectF cellRect(GridPosition position) const;
    // The cell under a view point; points left of or above the grid map to column
    // or row 0, and results too large for the coordinate type are held at its maximum.
    GridPosition gridPosition(QPointF point) const;

    // -- Document ---------------------------------------------------------------

    PersistedState persistedState() const;
    // Replaces the layout by the one stored in `bytes`. On failure nothing changes.
    Result<Unit, DocumentError> restore(QByteArrayView bytes);

    // -- Selection --------------------------------------------------------------

    // Turns the marquee being dragged into the selection, then ends the drag.
    void finishMarquee();
    void selectSingle(const QUuid& id);
    // All selected IDs, group after group.
    std::vector<QUuid> flatSelection() const;
    void toggleEditSelection(const QUuid& id);
    // Adds the elements under the rectangle to the edit selection.
    void selectInEditMarquee(QPointF start, QPointF end);

    // -- Layout editing ---------------------------------------------------------

    // Adds a cell with the next free number, unless the position is taken.
    void placeElement(GridPosition position);
    // Places a line cell by cell, so each takes the next free number at its turn;
    // the whole line is one edit.
    void placeElements(std::span<const GridPosition> positions);
    // Adds ready-made cells, numbers included, as one edit; a cell whose place is
    // taken (by the layout or an earlier cell of the list) is left out.
    void placeCells(const GridElements& cells);
    // Moves the whole edit selection, or nothing at all when any cell would leave
    // the grid or land on a cell outside the selection.
    void moveEditSelection(std::int64_t columnOffset, std::int64_t rowOffset);
    // Whether moveEditSelection() would take that move, so a drag can show a
    // refusal before the button is let go.
    bool canMoveEditSelection(std::int64_t columnOffset, std::int64_t rowOffset) const;
    void deleteEditSelection();

    // -- Renumbering ------------------------------------------------------------

    void beginRenumber(const QUuid& id);
    void commitRenumber();
    // Gives the element a new number when the text passes isValidNumberString().
    void applyNumber(const QUuid& id, const QString& text);
    // The element after `id` in reading order, wrapping from the last to the first.
    std::optional<QUuid> nextElementID(const QUuid& id) const;
    // Gives the element the quick-renumber number and advances it by the increment.
    void applyQuickRenumber(const QUuid& id);
    // The number text a quick-renumber click gives while Next holds `next`; one
    // that fails isValidNumberString() is not given.
    static QString quickRenumberNumber(const QString& next);

    // -- Undo -------------------------------------------------------------------

    // Take back, or make again, an edit announced by layoutEdited(). Only the
    // cells and the quick-renumber Next value change; the dirty flag is left to
    // the caller, which knows where the saved state lies.
    void revertEdit(const LayoutEdit& edit);
    void reapplyEdit(const LayoutEdit& edit);

signals:
    void elementsChanged();
    void selectionGroupsChanged();
    void selectionModifierChanged();
    void editSelectedIDsChanged();
    void modeChanged();
    void editToolChanged();
    void isPreviewPlayingChanged();
    void zoomScaleChanged();
    void panOffsetChanged();
    void editingElementIDChanged();
    void editingElementTextChanged();
    void marqueeStartChanged();
    void marqueeEndChanged();
    void marqueeModifierChanged();
    void latchedMarqueeModifierChanged();
    void showQuickRenumberPanelChanged();
    void quickRenumberNextChanged();
    void quickRenumberIncrementChanged();
    void isDirtyChanged();
    // After every edit that changed the layout (or moved quick renumber on), with
    // what it changed, so that it can be taken back.
    void layoutEdited(const pexlora::LayoutEdit& edit);

private:
    template <typename T> void assign(T& field, const T& value, void (GridViewModel::*changed)());
    void setElements(GridElements elements);
    void markDirty();
    enum class Direction { forward, backward };
    void settleUndoStep(const LayoutEdit& edit, Direction direction);
    void dropFromEditSelection(const std::vector<LayoutEdit::PlacedCell>& cells);

    GridLayout m_layout;
    SelectionGroups m_selectionGroups;
    MarqueeModifier m_selectionModifier = MarqueeModifier::none;
    QSet<QUuid> m_editSelectedIDs;
    AppMode m_mode = AppMode::select;
    EditTool m_editTool = EditTool::selectElement;
    bool m_isPreviewPlaying = true;
    double m_zoomScale = 1.0;
    QSizeF m_panOffset{0.0, 0.0};
    std::optional<QUuid> m_editingElementID;
    QString m_editingElementText;
    std::optional<QPointF> m_marqueeStart;
    std::optional<QPointF> m_marqueeEnd;
    MarqueeModifier m_marqueeModifier = MarqueeModifier::none;
    MarqueeModifier m_latchedMarqueeModifier = MarqueeModifier::none;
    bool m_showQuickRenumberPanel = false;
    QString m_quickRenumberNext = QStringLiteral("1");
    QString m_quickRenumberIncrement = QStringLiteral("1");
    bool m_isDirty = false;
};

} // namespace pexlora
