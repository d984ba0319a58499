// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <functional>
#include <memory>

class QObject;

namespace pexlora {

// A pending timer; destroying it cancels it.
class EosTimer {
public:
    virtual ~EosTimer() = default;
};

// Time and timers of the console link, injected so that tests can advance time
// instead of waiting for it. Timers run their task on `context`'s thread and are
// started and destroyed on that thread.
class EosClock {
public:
    virtual ~EosClock() = default;

    // Monotonic time since an arbitrary start.
    virtual std::chrono::milliseconds now() const = 0;

    // Runs `task` once, `delay` from now.
    virtual std::unique_ptr<EosTimer> startOnce(QObject* context, std::chrono::milliseconds delay,
                                                std::function<void()> task) = 0;
    // Runs `task` every `period`, the first time one period from now.
    virtual std::unique_ptr<EosTimer> startRepeating(QObject* context, std::chrono::milliseconds period,
                                                     std::function<void()> task) = 0;

    // The steady clock and precise QTimers.
    static std::shared_ptr<EosClock> system();
};

} // namespace pexlora
