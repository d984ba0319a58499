// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/FirstFrameExit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace pexlora {

FirstFrameExit::FirstFrameExit(QObject* parent)
    : QObject(parent) {}

void FirstFrameExit::arm(QWidget* window) {
    window->winId(); // makes sure the native window exists to be watched
    QWindow* handle = window->windowHandle();
    if (!handle)
        return;
    handle->installEventFilter(new FirstFrameExit(handle));
}

bool FirstFrameExit::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
        // The widgets paint while the expose event is handled; leave after that.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        watched->removeEventFilter(this);
    }
    return false;
}

} // namespace pexlora
