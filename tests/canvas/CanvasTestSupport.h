// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "canvas/CanvasClock.h"
#include "canvas/GridCanvasView.h"
#include "model/GridViewModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace pexlora::test {

// A dark desktop theme, for drawing that must read on light and dark alike.
inline QPalette darkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2a, 0x2a, 0x2a));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Mid, QColor(0x55, 0x55, 0x55));
    return dark;
}

class FakeClock final : public CanvasClock {
public:
    double now() const override { return time; }
    double time = 100.0;
};

// A shown canvas on its own model, with a clock the test moves, and pointer and
// key events sent straight to it as the window system would.
struct CanvasHarness {
    CanvasHarness() {
        auto fake = std::make_unique<FakeClock>();
        clock = fake.get();
        view = std::make_unique<GridCanvasView>(std::move(fake));
        view->setViewModel(&model);
        view->resize(600, 400);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
    }

    QPointF centre(GridPosition p) const { return model.cellRect(p).center(); }
    QUuid idAt(GridPosition p) const { return model.elementAt(p).value_or(QUuid()); }

    void mouse(QEvent::Type type, QPointF at, Qt::KeyboardModifiers modifiers = {},
               Qt::MouseButtons held = Qt::LeftButton) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, view->mapToGlobal(at), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : held, modifiers);
        QApplication::sendEvent(view.get(), &event);
    }
    void enter(QPointF at) {
        QEnterEvent event(at, at, view->mapToGlobal(at));
        QApplication::sendEvent(view.get(), &event);
    }
    void press(QPointF at, Qt::KeyboardModifiers m = {}) { mouse(QEvent::MouseButtonPress, at, m); }
    void move(QPointF at, Qt::KeyboardModifiers m = {}) { mouse(QEvent::MouseMove, at, m); }
    void hover(QPointF at) { mouse(QEvent::MouseMove, at, {}, Qt::NoButton); }
    void release(QPointF at, Qt::KeyboardModifiers m = {}) { mouse(QEvent::MouseButtonRelease, at, m); }
    void click(QPointF at, Qt::KeyboardModifiers m = {}) {
        press(at, m);
        release(at, m);
    }
    void doubleClick(QPointF at) {
        click(at);
        mouse(QEvent::MouseButtonDblClick, at);
        release(at);
    }
    void drag(QPointF from, QPointF to, Qt::KeyboardModifiers m = {}) {
        press(from, m);
        move((from + to) / 2, m);
        move(to, m);
        release(to, m);
    }
    // Whether the canvas took the key (false: passed on).
    bool key(QEvent::Type type, int key, Qt::KeyboardModifiers m = {}) {
        QKeyEvent event(type, key, m);
        QApplication::sendEvent(view.get(), &event);
        return event.isAccepted();
    }

    GridViewModel model;
    FakeClock* clock = nullptr;
    std::unique_ptr<GridCanvasView> view;
};

} // namespace pexlora::test
