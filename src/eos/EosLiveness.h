// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosClock.h"

#include <chrono>
#include <functional>
#include <memory>

class QObject;

namespace pexlora {

// Whether the console at the other end of an established link is still there. It is
// pinged every `pingPeriod`; once it has answered, a silence of `silenceLimit` means it
// is gone. One that never answered (its OSC output may be off) is never called gone.
class EosLiveness {
public:
    struct Periods {
        std::chrono::milliseconds ping{5000};
        std::chrono::milliseconds silenceLimit{15000};
    };

    EosLiveness(std::shared_ptr<EosClock> clock, Periods periods);

    // Starts watching a new link; `ping` sends one ping, `gone` is called once.
    void start(QObject* context, std::function<void()> ping, std::function<void()> gone);
    void stop();

    // Anything heard from the console; `isAnswer` when it answered a question of ours.
    void heard(bool isAnswer);
    bool hasAnswered() const { return m_answered; }

private:
    void tick();

    std::shared_ptr<EosClock> m_clock;
    Periods m_periods;
    std::unique_ptr<EosTimer> m_timer;
    std::function<void()> m_ping;
    std::function<void()> m_gone;
    std::chrono::milliseconds m_lastHeard{0};
    bool m_answered = false;
};

} // namespace pexlora
