#pragma once

#include "canvas/CanvasGeometry.h"
#include "canvas/CellImageCache.h"
#include "canvas/ConsoleSelectionRings.h"
#include "canvas/DigitGlyphs.h"
#include "canvas/LabelCache.h"
#include "model/GridElement.h"

#include <QImage>
#include <QRectF>
#include <QRegion>
#include <QSet>
#include <QUuid>
#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

namespace pexlora {

class GridViewModel;
class SelectionPreview;

// What marks cells beyond the state the model keeps of them.
struct CellMarks {
    std::optional<GridOffset> dragOffset; // the edit selection follows the pointer by this much
    QSet<QUuid> consoleSelection;         // the cells the console has selected, ringed in both modes
};

// Draws a canvas: background, grid lines and the shading outside the grid, the
// cells with their state, numbers, order badges and glow; the tools paint their
// overlays. Only what meets the dirty region is drawn: grid lines are bounded by
// it and cells are found through the position index when there are fewer
// places in view than cells in the layout.
class CanvasRenderer {
public:
    // `viewport` is the whole area the canvas shows; `dirty` the part to paint.
    void paint(QPainter& painter, const QRegion& dirty, const QRect& viewport, const GridViewModel& model,
               const CellMarks& marks, const SelectionPreview& preview, double now,
               const SystemColors& colors);

    // The area a cell's drawing may cover: its square, and room for the glow.
    static QRectF drawnExtent(const QRectF& cellRect);

    // Below this zoom cells are too small for numbers and badges.
    static constexpr double minLabelZoom = 0.3;

private:
    // The background, the grid lines and the shading outside the grid.
    void paintGround(QPainter& painter, const QRectF& area, const GridViewModel& model,
                     const SystemColors& c);
    const QImage& groundImage(const QRect& viewport, const QPainter& painter, const GridViewModel& model,
                              const SystemColors& c);
    // With `columns` false only the rows: the columns came with the background.
    void paintGridLines(QPainter& painter, const QRectF& area, const GridViewModel& model,
                        const SystemColors& c, bool columns);
    bool paintBackgroundWithColumns(QPainter& painter, const QRectF& area, const GridViewModel& model,
                                    const SystemColors& c);
    void paintShading(QPainter& painter, const QRectF& area, const GridViewModel& model,
                      const SystemColors& c);
    void paintCells(QPainter& painter, const QRegion& dirty, const GridViewModel& model,
                    const CellMarks& marks, const SelectionPreview& preview, double now,
                    const SystemColors& c);
    std::vector<std::size_t> cellsToPaint(const QRegion& dirty, const GridViewModel& model,
                                          const CellMarks& marks) const;
    // Numbers of digits go to the pending glyph run of their colour; any other
    // is drawn at once in the painter's font.
    void paintNumber(QPainter& painter, const QRectF& box, const QString& number, double fontSize,
                     const QColor& color);
    void flushNumbers(QPainter& painter);
    void paintBadge(QPainter& painter, const QRectF& box, int order);

    struct GroundKey {
        QSize size;
        qreal ratio = 0;
        double cellSize = 0;
        double panX = 0;
        double panY = 0;
        QRgb background = 0;
        QRgb separator = 0;
        QRgb window = 0;
        friend bool operator==(const GroundKey&, const GroundKey&) = default;
    };
    GroundKey m_groundKey;
    QImage m_ground;
    QImage m_groundRow;
    CellImageCache m_images;
    LabelCache m_labels;
    DigitGlyphs m_digits;
    std::vector<std::pair<QColor, DigitGlyphs::Run>> m_pendingNumbers;
    LabelCache m_badges;
    ConsoleSelectionRings m_consoleRings;
};

} // namespace pexlora
