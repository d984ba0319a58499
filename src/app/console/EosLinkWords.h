// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosConsoleHealth.h"
#include "eos/EosLinkFailure.h"
#include "eos/EosSettings.h"

#include <QCoreApplication>
#include <QString>
#include <chrono>
#include <optional>

namespace pexlora {

class EosConnectionManager;

// What the console popover and the status button's tooltip say of the link: where it
// stands, why it is down, and when it is tried again. Both read them here, so they agree.
class EosLinkWords {
    Q_DECLARE_TR_FUNCTIONS(pexlora::EosLinkWords)

public:
    // "Disconnected" while idle, the failure while the link is retried, "Connecting to …"
    // on the user's own attempt, and otherwise what the link knows of the console.
    static QString stateText(const EosConnectionManager& manager);
    // "Retrying in 12 s" while a retry waits, "Retrying now…" while it connects; "" otherwise.
    static QString countdownText(const EosConnectionManager& manager);
    // The state and the countdown while the link is retried; "" otherwise.
    static QString toolTipText(const EosConnectionManager& manager);

    static QString failureText(const EosLinkFailure& failure, const EosConsoleAddress& target);
    // Whole seconds, rounded up: a countdown shows 1 s until the attempt is made.
    static QString countdownText(std::chrono::milliseconds left);
    // The line for a health, empty when it needs none.
    static QString healthText(EosConsoleHealth health);
};

} // namespace pexlora
