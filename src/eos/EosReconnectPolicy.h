// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace pexlora {

// How long to wait before the next automatic reconnect: `initial` after the first
// failure in a row, doubling with each further one, never more than `maximum`
// (3, 6, 12, 24, 30, 30, … seconds by default).
struct EosReconnectPolicy {
    std::chrono::milliseconds initial{3000};
    std::chrono::milliseconds maximum{30000};

    // `consecutiveFailures` counts the failure just seen; values below 1 count as 1.
    std::chrono::milliseconds delayAfter(int consecutiveFailures) const;

    friend bool operator==(const EosReconnectPolicy&, const EosReconnectPolicy&) = default;
};

} // namespace pexlora
