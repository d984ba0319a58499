// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosSettings.h"

#include <QSettings>
#include <algorithm>
#include <climits>
#include <cstdint>

namespace pexlora {

int eosPortFromText(const QString& text) {
    qsizetype i = 0;
    bool negative = false;
    if (!text.isEmpty() && (text[0] == QLatin1Char('+') || text[0] == QLatin1Char('-'))) {
        negative = text[0] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        return eosDefaultPort;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return eosDefaultPort;
        value = std::min<std::int64_t>(value * 10 + (c - u'0'), std::int64_t{INT_MAX} + 1);
    }
    if (negative)
        return static_cast<int>(std::max<std::int64_t>(-value, INT_MIN));
    return static_cast<int>(std::min<std::int64_t>(value, INT_MAX));
}

EosConsoleAddress storedConsoleAddress(const QSettings& settings) {
    const QString host = settings.value(eosIPKey).toString();
    return {host.trimmed().isEmpty() ? eosDefaultHost : host,
            eosPortFromText(settings.value(eosPortKey).toString())};
}

} // namespace pexlora
