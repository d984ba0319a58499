// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosDiscoveredHost.h"

namespace pexlora {

QString eosSessionStateText(EosSessionState state) {
    switch (state) {
    case EosSessionState::primary:
        return QStringLiteral("Primary");
    case EosSessionState::backup:
        return QStringLiteral("Backup");
    case EosSessionState::client:
        return QStringLiteral("Client");
    case EosSessionState::offline:
        return QStringLiteral("Offline");
    case EosSessionState::unknown:
        break;
    }
    return {};
}

} // namespace pexlora
