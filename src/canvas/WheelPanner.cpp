// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/WheelPanner.h"

#include "canvas/PanZoom.h"
#include "canvas/SelectionPreview.h"
#include "model/GridViewModel.h"

#include <QWheelEvent>

namespace pexlora {

namespace {

// A wheel notch (120 units) pans by 20 points where the device gives no pixels.
QPointF scrollDelta(const QWheelEvent& event) {
    if (!event.pixelDelta().isNull())
        return QPointF(event.pixelDelta());
    return QPointF(event.angleDelta()) / 120.0 * 20.0;
}

} // namespace

WheelPanner::WheelPanner() {
    m_bounceTimer.setTimerType(Qt::PreciseTimer);
    m_bounceTimer.setInterval(SelectionPreview::tickIntervalMs);
    QObject::connect(&m_bounceTimer, &QTimer::timeout, [this] { bounceTick(); });
}

void WheelPanner::setModel(GridViewModel* model) {
    finishBounce();
    m_model = model;
}

void WheelPanner::wheel(const QWheelEvent& event) {
    if (!m_model)
        return;
    QPointF delta = scrollDelta(event);
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & Qt::ControlModifier) {
        zoomAbout(delta.y() > 0 ? 1.05 : 0.95, event.position());
        return;
    }
    QSizeF pan = m_model->panOffset();
    switch (event.phase()) {
    case Qt::ScrollBegin:
    case Qt::ScrollUpdate:
    case Qt::ScrollEnd:
        m_bounceTimer.stop();
        pan = QSizeF(rubberBand(pan.width(), delta.x()), rubberBand(pan.height(), delta.y()));
        m_model->setPanOffset(pan);
        if (event.phase() == Qt::ScrollEnd && (pan.width() > 0 || pan.height() > 0))
            m_bounceTimer.start();
        return;
    case Qt::ScrollMomentum:
        // An axis already past the origin ignores the coasting.
        pan = QSizeF(rubberBand(pan.width(), pan.width() <= 0 ? delta.x() : 0.0),
                     rubberBand(pan.height(), pan.height() <= 0 ? delta.y() : 0.0));
        m_model->setPanOffset(pan);
        if (!m_bounceTimer.isActive() && (pan.width() > 0 || pan.height() > 0))
            m_bounceTimer.start();
        return;
    case Qt::NoScrollPhase:
        break;
    }
    // A plain mouse wheel; with Shift it scrolls sideways, as elsewhere on the desktop.
    if ((modifiers & Qt::ShiftModifier) && delta.x() == 0)
        delta = QPointF(delta.y(), 0);
    m_model->setPanOffset(QSizeF(pan.width() + delta.x(), pan.height() + delta.y()));
}

void WheelPanner::pinch(double value, QPointF anchor) {
    zoomAbout(1.0 + value, anchor);
}

void WheelPanner::zoomAbout(double factor, QPointF anchor) {
    if (!m_model)
        return;
    const GridView view = zoomedAbout({m_model->zoomScale(), m_model->panOffset()}, anchor, factor);
    m_model->setZoomScale(view.scale);
    m_model->setPanOffset(view.pan);
}

void WheelPanner::drag(QPointF delta) {
    if (!m_model)
        return;
    m_bounceTimer.stop();
    const QSizeF pan = m_model->panOffset();
    m_model->setPanOffset(QSizeF(rubberBand(pan.width(), delta.x()), rubberBand(pan.height(), delta.y())));
}

void WheelPanner::dragFinished() {
    if (m_model && (m_model->panOffset().width() > 0 || m_model->panOffset().height() > 0))
        m_bounceTimer.start();
}

void WheelPanner::finishBounce() {
    if (!m_bounceTimer.isActive())
        return;
    m_bounceTimer.stop();
    if (!m_model)
        return;
    BounceStep step{m_model->panOffset()};
    for (int tick = 0; tick < 1000 && !step.finished; ++tick) // 0.78 per tick: ~100 ticks from 1e9
        step = bounceStep(step.pan);
    m_model->setPanOffset(step.pan);
}

void WheelPanner::bounceTick() {
    if (!m_model) {
        m_bounceTimer.stop();
        return;
    }
    const BounceStep step = bounceStep(m_model->panOffset());
    m_model->setPanOffset(step.pan);
    if (step.finished)
        m_bounceTimer.stop();
}

} // namespace pexlora
