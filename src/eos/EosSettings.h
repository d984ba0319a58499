// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QSettings;

namespace pexlora {

// The two per-user settings of the console link, both stored as text exactly as typed.
inline const QString eosIPKey = QStringLiteral("eosIP");
inline const QString eosPortKey = QStringLiteral("eosPort");
inline const QString eosDefaultHost = QStringLiteral("127.0.0.1");
inline constexpr int eosDefaultPort = 3038;

// The port a stored "eosPort" text stands for: the whole text read as a decimal
// integer (an optional "+" or "-", then ASCII digits only); 3038 when it is empty or
// anything else. The value is not clamped here (connect clamps it to 1–65535);
// values beyond the range of int saturate.
int eosPortFromText(const QString& text);

// Where "Connect" in the console popover goes: the stored address (127.0.0.1 when
// absent, empty or blank) and the stored port by the rule above.
struct EosConsoleAddress {
    QString host;
    int port = eosDefaultPort;

    friend bool operator==(const EosConsoleAddress&, const EosConsoleAddress&) = default;
};
EosConsoleAddress storedConsoleAddress(const QSettings& settings);

} // namespace pexlora
