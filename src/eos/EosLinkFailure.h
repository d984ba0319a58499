// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractSocket>
#include <QString>
#include <chrono>

namespace pexlora {

// Why a link to the console could not be made or did not last, as the window tells it.
struct EosLinkFailure {
    enum class Kind {
        refused,          // nothing listens on that port
        hostNotFound,     // the name did not resolve to any address
        timedOut,         // no address answered within `waited`
        closedByConsole,  // it was up, and the console closed or reset it
        unreadable,       // the console sent what the framing in use cannot read
        stoppedAnswering, // it answered once, then fell silent
        other             // the socket's own words are in `detail`
    };
    Kind kind = Kind::other;
    QString detail;
    std::chrono::milliseconds waited{0};

    friend bool operator==(const EosLinkFailure&, const EosLinkFailure&) = default;
};

// The failure a socket reports with `error`; `text` is its error string, kept for the
// errors that have no words of ours.
EosLinkFailure failureFromSocketError(QAbstractSocket::SocketError error, const QString& text);

} // namespace pexlora
