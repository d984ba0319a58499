// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/PanZoom.h"

#include "CanvasTestSupport.h"

#include <QNativeGestureEvent>
#include <QPointingDevice>
#include <QWheelEvent>

using namespace pexlora;
using test::CanvasHarness;

namespace {

TEST(RubberBand, FreeInsideTheGridResistedAndCappedPastItsOrigin) {
    struct Case {
        double v, delta, expected;
    } const cases[] = {
        {0, 100, 15},   // crossing the origin: 15 % of the way past it
        {15, 200, 25},  // already past: capped at 25
        {10, -40, -30}, // back inside: free
        {-50, 20, -30}, // inside and staying inside
        {-10, 30, 3},   // crossing: 15 % of what lies past the origin
        {5, 10, 6.5},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(rubberBand(c.v, c.delta), c.expected) << c.v << " + " << c.delta;
}

TEST(Bounce, SpringsBackByAQuarterEachTickAndLandsExactlyOnTheOrigin) {
    BounceStep step = bounceStep({12, -300});
    EXPECT_DOUBLE_EQ(step.pan.width(), 9.36);
    EXPECT_DOUBLE_EQ(step.pan.height(), 0);
    int ticks = 1;
    while (!step.finished) {
        const double before = step.pan.width();
        step = bounceStep(step.pan);
        if (!step.finished) {
            EXPECT_DOUBLE_EQ(step.pan.width(), before * 0.78);
        }
        ++ticks;
    }
    EXPECT_EQ(step.pan, QSizeF(0, 0));
    EXPECT_EQ(ticks, 13); // 12 × 0.78^12 ≈ 0.61, 0.78^13 ≈ 0.47
}

TEST(Zoom, HeldBetweenATenthAndTen) {
    EXPECT_DOUBLE_EQ(zoomedScale(2, 1.5), 3);
    EXPECT_DOUBLE_EQ(zoomedScale(9.9, 1.05), 10);
    EXPECT_DOUBLE_EQ(zoomedScale(0.101, 0.95), 0.1);
}

class CanvasScrolling : public testing::Test {
protected:
    void wheel(QPointF delta, Qt::ScrollPhase phase, Qt::KeyboardModifiers modifiers = {},
               bool pixels = true) {
        QWheelEvent event(QPointF(100, 100), c.view->mapToGlobal(QPointF(100, 100)),
                          pixels ? delta.toPoint() : QPoint(), pixels ? QPoint() : delta.toPoint(),
                          Qt::NoButton, modifiers, phase, false);
        QApplication::sendEvent(c.view.get(), &event);
    }
    CanvasHarness c;
};

TEST_F(CanvasScrolling, PlainWheelPansFreelyAndCtrlWheelZooms) {
    wheel({0, -120}, Qt::NoScrollPhase, {}, false); // one notch down: 20 points
    EXPECT_EQ(c.model.panOffset(), QSizeF(0, -20));
    wheel({300, 500}, Qt::NoScrollPhase);
    EXPECT_EQ(c.model.panOffset(), QSizeF(300, 480)) << "no limit, no bounce";
    EXPECT_FALSE(c.view->isBouncing());
    wheel({0, 0}, Qt::NoScrollPhase, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(c.model.zoomScale(), 0.95) << "no delta zooms out";
    wheel({0, 10}, Qt::NoScrollPhase, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(c.model.zoomScale(), 0.95 * 1.05);
    EXPECT_EQ(c.model.panOffset(), QSizeF(300, 480)) << "zooming keeps the pan";
}

TEST_F(CanvasScrolling, GesturePullsAgainstTheOriginAndSpringsBackWhenItEnds) {
    wheel({0, 0}, Qt::ScrollBegin);
    wheel({100, -300}, Qt::ScrollUpdate);
    EXPECT_EQ(c.model.panOffset(), QSizeF(15, -300));
    wheel({200, 0}, Qt::ScrollUpdate);
    EXPECT_EQ(c.model.panOffset(), QSizeF(25, -300));
    EXPECT_FALSE(c.view->isBouncing()) << "not while the fingers are down";
    c.model.setPanOffset({12, -300});
    wheel({0, 0}, Qt::ScrollEnd);
    ASSERT_TRUE(c.view->isBouncing());
    c.view->bounceTick();
    EXPECT_DOUBLE_EQ(c.model.panOffset().width(), 9.36);
    EXPECT_EQ(c.model.panOffset().height(), 0);
    // Momentum does not carry an axis that is already past the origin any further.
    wheel({50, -40}, Qt::ScrollMomentum);
    EXPECT_DOUBLE_EQ(c.model.panOffset().width(), 9.36);
    EXPECT_EQ(c.model.panOffset().height(), -40);
    while (c.view->isBouncing())
        c.view->bounceTick();
    EXPECT_EQ(c.model.panOffset(), QSizeF(0, 0));
}

TEST_F(CanvasScrolling, HidingTheCanvasLandsABounceAtItsRest) {
    c.model.setPanOffset({400, -70});
    wheel({0, 0}, Qt::ScrollEnd);
    ASSERT_TRUE(c.view->isBouncing());
    c.view->hide();
    EXPECT_FALSE(c.view->isBouncing());
    EXPECT_EQ(c.model.panOffset(), QSizeF(0, 0));
}

TEST_F(CanvasScrolling, PinchMagnifiesTheZoom) {
    c.model.setZoomScale(2);
    QNativeGestureEvent pinch(Qt::ZoomNativeGesture, QPointingDevice::primaryPointingDevice(), 2,
                              QPointF(50, 50), QPointF(50, 50), c.view->mapToGlobal(QPointF(50, 50)), 0.5, {},
                              0);
    QApplication::sendEvent(c.view.get(), &pinch);
    EXPECT_DOUBLE_EQ(c.model.zoomScale(), 3);
}

} // namespace
