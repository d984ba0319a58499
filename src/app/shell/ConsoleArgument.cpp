// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/ConsoleArgument.h"

namespace pexlora {

std::optional<EosConsoleAddress> parseConsoleArgument(const QString& text) {
    const QString argument = text.trimmed();
    QString host = argument;
    QString port;
    if (argument.startsWith(QLatin1Char('['))) {
        const qsizetype close = argument.indexOf(QLatin1Char(']'));
        if (close < 0)
            return std::nullopt;
        host = argument.mid(1, close - 1);
        const QString rest = argument.mid(close + 1);
        if (!rest.isEmpty()) {
            if (!rest.startsWith(QLatin1Char(':')))
                return std::nullopt;
            port = rest.mid(1);
            if (port.isEmpty())
                return std::nullopt;
        }
    } else if (argument.count(QLatin1Char(':')) == 1) {
        const qsizetype colon = argument.indexOf(QLatin1Char(':'));
        host = argument.left(colon);
        port = argument.mid(colon + 1);
        if (port.isEmpty())
            return std::nullopt;
    }
    if (host.isEmpty())
        return std::nullopt;
    if (port.isEmpty())
        return EosConsoleAddress{host, eosDefaultPort};
    bool ok = false;
    const int number = port.toInt(&ok, 10);
    if (!ok || number < 1 || number > 65535 || !port.front().isDigit())
        return std::nullopt;
    return EosConsoleAddress{host, number};
}

} // namespace pexlora
