// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/EosRetryCountdown.h"

#include "eos/EosConnectionManager.h"

namespace pexlora {

using namespace std::chrono_literals;

EosRetryCountdown::EosRetryCountdown(EosConnectionManager* manager, std::function<void()> tick,
                                     QObject* parent)
    : QObject(parent)
    , m_manager(manager)
    , m_tick(std::move(tick)) {
    if (m_manager)
        connect(m_manager, &EosConnectionManager::retryAtChanged, this, &EosRetryCountdown::arm);
}

EosRetryCountdown::~EosRetryCountdown() = default;

void EosRetryCountdown::setRunning(bool running) {
    if (running == m_running)
        return;
    m_running = running;
    arm();
}

void EosRetryCountdown::arm() {
    m_timer.reset();
    if (!m_running || !m_manager)
        return;
    const auto left = m_manager->timeToRetry();
    if (!left)
        return;
    const auto wholeSeconds = (*left + 999ms) / 1s;
    // From 1 s the next change is the attempt itself, which the manager announces.
    if (wholeSeconds <= 1)
        return;
    const auto untilShownSecondDrops = *left - (wholeSeconds - 1) * 1000ms;
    m_timer = m_manager->clock()->startOnce(this, untilShownSecondDrops, [this] {
        arm();
        m_tick();
    });
}

} // namespace pexlora
