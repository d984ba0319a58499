// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosClock.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

namespace pexlora {

class EosConnectionManager;

// Calls `tick` each time the whole seconds left before the link's next attempt go
// down by one, on the link's clock, while it runs and a retry waits. Whoever shows a
// countdown runs it only while it is shown; otherwise it holds no timer.
class EosRetryCountdown : public QObject {
    Q_OBJECT

public:
    EosRetryCountdown(EosConnectionManager* manager, std::function<void()> tick, QObject* parent = nullptr);
    ~EosRetryCountdown() override;

    void setRunning(bool running);
    bool isRunning() const { return m_running; }
    // Whether a timer is pending for the next tick.
    bool isTicking() const { return m_timer != nullptr; }

private:
    void arm();

    QPointer<EosConnectionManager> m_manager;
    std::function<void()> m_tick;
    bool m_running = false;
    std::unique_ptr<EosTimer> m_timer;
};

} // namespace pexlora
