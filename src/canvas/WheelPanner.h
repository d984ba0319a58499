// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointF>
#include <QPointer>
#include <QTimer>

class QWheelEvent;

namespace pexlora {

class GridViewModel;

// Turns wheel, trackpad and pinch input into pans and zooms of a model, and
// springs the grid back to its origin after a gesture pulled it past there.
class WheelPanner {
public:
    WheelPanner();

    // Lands a bounce under way where it would have come to rest on the model
    // it was pulling, then works on `model`.
    void setModel(GridViewModel* model);

    void wheel(const QWheelEvent& event);
    // A pinch by `value` about `anchor`: 0.1 magnifies by a tenth.
    void pinch(double value, QPointF anchor);
    // Zooms by `factor` keeping the grid point under `anchor` where it is.
    void zoomAbout(double factor, QPointF anchor);
    // The grid dragged by the middle button: as a trackpad pulls it, springing back
    // from past the origin once `finished`.
    void drag(QPointF delta);
    void dragFinished();

    bool isBouncing() const { return m_bounceTimer.isActive(); }
    // One step of the spring back to the grid origin; the timer calls it.
    void bounceTick();
    // Lands a bounce under way at once, where it would have come to rest.
    void finishBounce();

private:
    QPointer<GridViewModel> m_model;
    QTimer m_bounceTimer;
};

} // namespace pexlora
