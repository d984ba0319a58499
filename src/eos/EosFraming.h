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
// `automatic` the one the console answered in last time and then the other. With none
// remembered the port tells: a desk's 3032 ships with OSC 1.0 length prefixes, its
// third-party port 3037 is always SLIP, and other ports start with SLIP.
std::vector<EosFraming> framingAttempts(EosFramingChoice choice, std::optional<EosFraming> remembered,
                                        int port);
// What the link stays on when no attempt was answered.
EosFraming fallbackFraming(EosFramingChoice choice);

// One packet as it goes on the wire in `framing`.
QByteArray framedPacket(EosFraming framing, std::span<const std::uint8_t> packet);

} // namespace pexlora
