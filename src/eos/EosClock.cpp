// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosClock.h"

#include <QPointer>
#include <QTimer>

namespace pexlora {

namespace {

class QtTimer final : public EosTimer {
public:
    QtTimer(QObject* context, std::chrono::milliseconds interval, bool singleShot, std::function<void()> task)
        // Parented to the context, so that it goes with it even when no event loop is left.
        : m_timer(new QTimer(context)) {
        m_timer->setTimerType(Qt::PreciseTimer);
        m_timer->setSingleShot(singleShot);
        QObject::connect(m_timer, &QTimer::timeout, context, std::move(task));
        m_timer->start(interval);
    }
    ~QtTimer() override {
        if (!m_timer)
            return;
        m_timer->stop();
        m_timer->disconnect();
        // The task may be the one cancelling its own timer: delete it once that has returned.
        m_timer->deleteLater();
    }

private:
    QPointer<QTimer> m_timer;
};

class SystemClock final : public EosClock {
public:
    std::chrono::milliseconds now() const override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
    std::unique_ptr<EosTimer> startOnce(QObject* context, std::chrono::milliseconds delay,
                                        std::function<void()> task) override {
        return std::make_unique<QtTimer>(context, delay, true, std::move(task));
    }
    std::unique_ptr<EosTimer> startRepeating(QObject* context, std::chrono::milliseconds period,
                                             std::function<void()> task) override {
        return std::make_unique<QtTimer>(context, period, false, std::move(task));
    }
};

} // namespace

std::shared_ptr<EosClock> EosClock::system() {
    static const std::shared_ptr<EosClock> clock = std::make_shared<SystemClock>();
    return clock;
}

} // namespace pexlora
