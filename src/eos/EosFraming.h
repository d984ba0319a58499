#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace pexlora {

// How packets are delimited on the TCP stream to the console.
enum class EosFraming {
    slip,  // OSC 1.1: double-ended SLIP
    length // OSC 1.0: a 4-byte big-endian length before each packet
};

// What the user picked; `automatic` finds the framing the console reads.
enum class EosFramingChoice { automatic, slip, length };

// The choice as stored under "eosFraming".
inline const QString eosFramingKey = QStringLiteral("eosFraming");

// "automatic", "slip" or "length".
QString framingChoiceKey(EosFramingChoice choice);
// The stored text back to a choice; nothing for any other text.
std::optional<EosFramingChoice> framingChoiceFromKey(QStringView key);

} // namespace pexlora
