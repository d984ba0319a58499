// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosLinkFailure.h"

namespace pexlora {

EosLinkFailure failureFromSocketError(QAbstractSocket::SocketError error, const QString& text) {
    using Kind = EosLinkFailure::Kind;
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return {Kind::refused, {}, {}};
    case QAbstractSocket::HostNotFoundError:
        return {Kind::hostNotFound, {}, {}};
    // A reset of an established connection reads as a close too.
    case QAbstractSocket::RemoteHostClosedError:
        return {Kind::closedByConsole, {}, {}};
    default:
        return {Kind::other, text, {}};
    }
}

} // namespace pexlora
