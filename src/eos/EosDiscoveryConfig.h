// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/BroadcastAddresses.h"
#include "eos/EosClock.h"
#include "eos/EosHostTable.h"

#include <QString>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace pexlora {

// Ports, times and destinations of discovery. The defaults are the console's own
// exchange; tests give loopback destinations, port 0 and a clock of their own.
struct EosDiscoveryConfig {
    std::uint16_t listenPort = 3035;    // replies arrive here (0: a port of the system's choice)
    std::uint16_t broadcastPort = 3034; // consoles listen for requests here
    std::chrono::milliseconds burstStepInterval{3000}; // a burst sends at 0, 1 and 2 intervals
    std::chrono::milliseconds browsingPeriod{30000};   // refresh while the console popover is open
    std::chrono::milliseconds watchingPeriod{180000};  // refresh while only a link is up
    std::chrono::milliseconds staleTimeout{420000};    // a silent host leaves the list after this
    std::size_t maxHosts = EosHostTable::defaultCapacity;
    // Where a burst's requests go, read once per burst.
    std::function<std::vector<QString>()> destinations = systemBroadcastAddresses;
    std::shared_ptr<EosClock> clock = EosClock::system();
};

} // namespace pexlora
