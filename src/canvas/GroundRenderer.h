// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QRegion>
#include <QRgb>
#include <QSize>

class QPainter;

namespace pexlora {

class GridViewModel;
struct SystemColors;

// Draws what lies under the cells: the background, the grid lines, and the
// shading outside the grid with its edges. Grid lines are bounded by the
// dirty region; a region of many small pieces is copied from an image of the
// whole view, kept while the view, the zoom, the pan and the colours stay.
class GroundRenderer {
public:
    // `viewport` is the whole area the canvas shows; `dirty` the part to paint.
    void paint(QPainter& painter, const QRegion& dirty, const QRect& viewport, const GridViewModel& model,
               const SystemColors& colors);

private:
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
};

} // namespace pexlora
