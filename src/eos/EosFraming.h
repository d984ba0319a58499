// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

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

// The framings to try on connecting, in order: the chosen one alone, or for
// `automatic` the one the console answered in last time (SLIP when none) and then the other.
std::vector<EosFraming> framingAttempts(EosFramingChoice choice, std::optional<EosFraming> remembered);
// What the link stays on when no attempt was answered.
EosFraming fallbackFraming(EosFramingChoice choice);

// One packet as it goes on the wire in `framing`.
QByteArray framedPacket(EosFraming framing, std::span<const std::uint8_t> packet);

} // namespace pexlora
