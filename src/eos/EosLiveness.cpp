// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosLiveness.h"

namespace pexlora {

EosLiveness::EosLiveness(std::shared_ptr<EosClock> clock, Periods periods)
    : m_clock(std::move(clock))
    , m_periods(periods) {}

void EosLiveness::start(QObject* context, std::function<void()> ping, std::function<void()> gone) {
    m_ping = std::move(ping);
    m_gone = std::move(gone);
    m_answered = false;
    m_lastHeard = m_clock->now();
    m_timer = m_clock->startRepeating(context, m_periods.ping, [this] { tick(); });
}

void EosLiveness::stop() {
    m_timer.reset();
    m_answered = false;
}

void EosLiveness::heard(bool isAnswer) {
    m_lastHeard = m_clock->now();
    m_answered = m_answered || isAnswer;
}

void EosLiveness::tick() {
    if (m_answered && m_clock->now() - m_lastHeard >= m_periods.silenceLimit) {
        stop();
        // The handler may drop the link and this watch with it: nothing here runs after it.
        const auto gone = m_gone;
        gone();
        return;
    }
    m_ping();
}

} // namespace pexlora
