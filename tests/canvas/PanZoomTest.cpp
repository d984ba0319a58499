// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/PanZoom.h"

#include "CanvasTestSupport.h"

#include <QMouseEvent>
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
    // The wheel turns at (100, 100): the grid point there stays there.
    const QPointF pointer(100, 100);
    const GridView view{c.model.zoomScale(), c.model.panOffset()};
    EXPECT_NEAR((pointer.x() - view.pan.width()) / view.scale, (pointer.x() - 300) / 1.0, 1e-9);
    EXPECT_NEAR((pointer.y() - view.pan.height()) / view.scale, (pointer.y() - 480) / 1.0, 1e-9);
}

// Zooming about a point keeps the grid point under it; fitting frames the cells,
// centred, a margin clear of the edges, within the zoom's limits.
TEST(Zoom, AboutAPointAndToFit) {
    const struct {
        GridView view;
        QPointF anchor;
        double factor;
        GridView expected;
    } about[] = {
        {{1, {0, 0}}, {0, 0}, 2, {2, {0, 0}}},
        {{1, {0, 0}}, {100, 50}, 2, {2, {-100, -50}}},
        {{2, {-40, 10}}, {60, 60}, 0.5, {1, {10, 35}}},
        {{9, {0, 0}}, {10, 10}, 2, {10, {-1.1111111111111107, -1.1111111111111107}}}, // held at 10
    };
    for (const auto& row : about) {
        const GridView zoomed = zoomedAbout(row.view, row.anchor, row.factor);
        EXPECT_DOUBLE_EQ(zoomed.scale, row.expected.scale);
        EXPECT_NEAR(zoomed.pan.width(), row.expected.pan.width(), 1e-9);
        EXPECT_NEAR(zoomed.pan.height(), row.expected.pan.height(), 1e-9);
    }
    const struct {
        QRectF cells;
        QSizeF viewport;
        GridView expected;
    } fits[] = {
        {{0, 0, 10, 5}, {648, 348}, {1, {24, 24}}},          // exactly fits at 100 %
        {{10, 0, 20, 1}, {1248, 648}, {1, {-576, 294}}},     // wide: the width decides
        {{0, 0, 2000, 1}, {1000, 700}, {0.1, {-5500, 347}}}, // held at a tenth
        {{3, 3, 1, 1}, {648, 648}, {10, {-1776, -1776}}},    // one cell: held at ten
        {{}, {800, 600}, {1, {0, 0}}},                       // nothing to frame
    };
    for (const auto& row : fits) {
        const GridView fitted = fittedView(row.cells, row.viewport, 60, 24);
        EXPECT_DOUBLE_EQ(fitted.scale, row.expected.scale) << row.cells.width();
        EXPECT_NEAR(fitted.pan.width(), row.expected.pan.width(), 1e-9) << row.cells.width();
        EXPECT_NEAR(fitted.pan.height(), row.expected.pan.height(), 1e-9) << row.cells.width();
    }
}

TEST_F(CanvasScrolling, TheMiddleButtonDragsTheGridAndItSpringsBackFromPastTheOrigin) {
    c.model.setPanOffset({-200, -100});
    const auto middle = [&](QEvent::Type type, QPointF at) {
        QMouseEvent event(type, at, c.view->mapToGlobal(at), Qt::MiddleButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MiddleButton, {});
        QApplication::sendEvent(c.view.get(), &event);
    };
    middle(QEvent::MouseButtonPress, {300, 300});
    middle(QEvent::MouseMove, {350, 280});
    EXPECT_EQ(c.model.panOffset(), QSizeF(-150, -120));
    middle(QEvent::MouseMove, {600, 280});
    EXPECT_EQ(c.model.panOffset(), QSizeF(rubberBand(-150, 250), -120)) << "pulled against the origin";
    middle(QEvent::MouseButtonRelease, {600, 280});
    EXPECT_TRUE(c.view->isBouncing());
    EXPECT_TRUE(c.model.selectionGroups().empty()) << "the middle button selects nothing";
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
