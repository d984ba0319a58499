#pragma once

#include "canvas/CanvasGeometry.h"
#include "canvas/CellImageCache.h"
#include "canvas/DigitGlyphs.h"
#include "canvas/LabelCache.h"
#include "model/GridElement.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QRegion>
#include <cstdint>
#include <optional>
#include <vector>

class QPainter;

namespace pexlora {

class GridViewModel;
class SelectionPreview;

// What a drag under way adds to the picture; the tools own this state.
struct CanvasOverlay {
    std::optional<GridOffset> groupDrag;    // the edit selection follows the pointer
    std::vector<GridPosition> addLine;      // the cells an add drag would place
    std::optional<QRectF> editMarquee;      // the rubber band of the Select tool
    std::optional<QPointF> quickRenumberAt; // where the Quick # label follows the pointer
};

// Draws a canvas: background, grid lines and the shading outside the grid, the
// cells with their state, numbers, order badges and glow, and the drag
// overlays. Only what meets the dirty region is drawn: grid lines are bounded by
// it and cells are found through the position index when there are fewer
// places in view than cells in the layout.
class CanvasRenderer {
public:
    // `viewport` is the whole area the canvas shows; `dirty` the part to paint.
    void paint(QPainter& painter, const QRegion& dirty, const QRect& viewport, const GridViewModel& model,
               const CanvasOverlay& overlay, const SelectionPreview& preview, double now,
               const SystemColors& colors);

    // The area a cell's drawing may cover: its square, and room for the glow.
    static QRectF drawnExtent(const QRectF& cellRect);

    // Where the Quick # label stands for a pointer, with `base` the canvas's font
    // on a device of `dpi` dots per inch.
    static QRectF quickRenumberLabelRect(QPointF pointer, const QString& next, const QFont& base, int dpi);

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
                    const CanvasOverlay& overlay, const SelectionPreview& preview, double now,
                    const SystemColors& c);
    std::vector<std::size_t> cellsToPaint(const QRegion& dirty, const GridViewModel& model,
                                          const CanvasOverlay& overlay) const;
    // Numbers of digits go to the pending glyph run of their colour; any other
    // is drawn at once in the painter's font.
    void paintNumber(QPainter& painter, const QRectF& box, const QString& number, double fontSize,
                     const QColor& color);
    void flushNumbers(QPainter& painter);
    void paintBadge(QPainter& painter, const QRectF& box, int order);
    void paintAddLine(QPainter& painter, const GridViewModel& model, const CanvasOverlay& overlay,
                      const SystemColors& c);
    void paintMarquee(QPainter& painter, const GridViewModel& model, const SystemColors& c);
    void paintEditMarquee(QPainter& painter, const QRectF& marquee, const SystemColors& c);
    void paintQuickRenumberLabel(QPainter& painter, QPointF pointer, const GridViewModel& model,
                                 const SystemColors& c);

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
};

} // namespace pexlora
