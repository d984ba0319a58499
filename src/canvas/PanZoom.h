// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace pexlora {

// How far, and how stiffly, the grid can be pulled past its origin.
inline constexpr double maxOverscroll = 25.0;
inline constexpr double overscrollResistance = 0.15;
inline constexpr double minZoomScale = 0.1;
inline constexpr double maxZoomScale = 10.0;
// Each bounce tick keeps this share of the overscroll.
inline constexpr double bounceDecay = 0.78;

// One pan component `v` moved by `delta` in a trackpad gesture: free while the
// grid origin stays at or beyond the view's edge, then resisted and capped.
double rubberBand(double v, double delta);

// `scale` multiplied by `factor`, held between 0.1 and 10.
double zoomedScale(double scale, double factor);

// What the view shows of the grid: its zoom and where the grid's origin stands.
struct GridView {
    double scale = 1.0;
    QSizeF pan;

    friend bool operator==(const GridView&, const GridView&) = default;
};

// `view` zoomed by `factor` (held between 0.1 and 10) about `anchor`: the grid point
// under it stays under it.
GridView zoomedAbout(const GridView& view, QPointF anchor, double factor);

// The view that shows `cells` (columns and rows, the right and bottom edges outside)
// whole and centred in `viewport`, `margin` points clear of its edges, at a zoom held
// between 0.1 and 10. An empty `cells` gives the grid at its actual size from its origin.
GridView fittedView(const QRectF& cells, QSizeF viewport, double cellSize, double margin);

// One step of the spring back to the origin; `finished` once both components are
// back under half a point, when the pan is exactly (0, 0).
struct BounceStep {
    QSizeF pan;
    bool finished = false;
};
BounceStep bounceStep(QSizeF pan);

} // namespace pexlora
