// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCMessage.h"

#include <QString>
#include <QTimer>
#include <chrono>
#include <functional>

namespace pexlora {

// What the console says of itself that the window shows.
struct EosConsoleFields {
    QString version;
    QString commandLine;
    QString activeChannels;

    friend bool operator==(const EosConsoleFields&, const EosConsoleFields&) = default;
};

// Reads the console's feedback messages and publishes the fields they set at most
// once per `period`, the latest values only, however fast the console talks.
class EosConsoleFeedback {
public:
    using Publish = std::function<void(const EosConsoleFields& before, const EosConsoleFields& after)>;

    explicit EosConsoleFeedback(Publish publish,
                                std::chrono::milliseconds period = std::chrono::milliseconds(16));

    // Whether `message` is feedback; its value is taken if so.
    bool take(const OSCMessage& message);
    // A new link: nothing known of the console, its per-user echo not yet seen.
    void clear();

    const EosConsoleFields& published() const { return m_published; }

private:
    void changed();
    void publishNow();

    Publish m_publish;
    QTimer m_timer;
    EosConsoleFields m_pending;
    EosConsoleFields m_published;
    bool m_perUserEcho = false; // once seen, the desk's current user's line is not ours
};

} // namespace pexlora
