// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace pexlora {

// The console's role in an Eos session. Discovery replies carry no session state,
// so every discovered host is `unknown`.
enum class EosSessionState { primary, backup, client, offline, unknown };

// "Primary", "Backup", "Client", "Offline", and the empty text for `unknown`.
QString eosSessionStateText(EosSessionState state);

// One console that answered discovery, identified by its address and TCP port.
struct EosDiscoveredHost {
    QString id; // "osc:" + ip + ":" + oscTCPPort
    QString ip;
    QString name;
    QString consoleType; // "OSC" when the reply names none
    EosSessionState sessionState = EosSessionState::unknown;
    std::uint16_t oscTCPPort = 0;

    friend bool operator==(const EosDiscoveredHost&, const EosDiscoveredHost&) = default;
};

using EosDiscoveredHosts = std::vector<EosDiscoveredHost>;

} // namespace pexlora
