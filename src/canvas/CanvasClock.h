// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>

namespace pexlora {

// Where the canvas's animations read the time, in seconds; tests drive their own.
class CanvasClock {
public:
    virtual ~CanvasClock() = default;
    virtual double now() const = 0;
};

class SteadyClock final : public CanvasClock {
public:
    SteadyClock() { m_timer.start(); }
    double now() const override { return static_cast<double>(m_timer.nsecsElapsed()) * 1e-9; }

private:
    QElapsedTimer m_timer;
};

} // namespace pexlora
