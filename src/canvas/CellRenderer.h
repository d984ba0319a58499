// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/CanvasGeometry.h"
#include "canvas/CellImageCache.h"
#include "canvas/ConsoleSelectionRings.h"
#include "canvas/DigitGlyphs.h"
#include "canvas/LabelCache.h"
#include "canvas/LevelMarks.h"

#include <QColor>
#include <QRectF>
#include <QRegion>
#include <QSet>
#include <QUuid>
#include <optional>
#include <utility>
#include <vector>

class QPainter;

namespace pexlora {

class CellLevels;
class GridViewModel;
class SelectionPreview;
struct SystemColors;

// What marks cells beyond the state the model keeps of them.
struct CellMarks {
    std::optional<GridOffset> dragOffset; // the edit selection follows the pointer by this much
    bool dragRefused = false;             // and would not be let go there
    QSet<QUuid> consoleSelection;         // the cells the console has selected, ringed in both modes
    const CellLevels* levels = nullptr;   // the desk's levels and missing patches, when it sends any
};

// Draws the cells with their state, numbers, order badges, glow, the
// console's rings and what they show of the desk. Only the cells that meet the dirty region are drawn, found
// through the position index when there are fewer places in view than cells
// in the layout.
class CellRenderer {
public:
    void paint(QPainter& painter, const QRegion& dirty, const GridViewModel& model, const CellMarks& marks,
               const SelectionPreview& preview, double now, const SystemColors& colors);

    // The area a cell's drawing may cover: its square, and room for the glow.
    static QRectF drawnExtent(const QRectF& cellRect);

    // Below this zoom cells are too small for numbers and badges.
    static constexpr double minLabelZoom = 0.3;

private:
    std::vector<std::size_t> cellsToPaint(const QRegion& dirty, const GridViewModel& model,
                                          const CellMarks& marks) const;
    // Numbers of digits go to the pending glyph run of their colour; any other
    // is drawn at once in the painter's font.
    void paintNumber(QPainter& painter, const QRectF& box, const QString& number, double fontSize,
                     const QColor& color);
    void flushNumbers(QPainter& painter);
    void paintBadge(QPainter& painter, const QRectF& box, int order);

    CellImageCache m_images;
    LabelCache m_labels;
    DigitGlyphs m_digits;
    std::vector<std::pair<QColor, DigitGlyphs::Run>> m_pendingNumbers;
    LabelCache m_badges;
    ConsoleSelectionRings m_consoleRings;
    LevelMarks m_levels;
};

} // namespace pexlora
