// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosDiscoveredHost.h"
#include "osc/OSCMessage.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <span>

namespace pexlora {

inline constexpr const char* eosDiscoveryReplyPath = "/etc/discovery/reply";

// A console's name and type, from reply texts such as "Main Eos (ETCnomad)".
struct EosConsoleName {
    QString name;
    QString type; // empty when the text names none

    friend bool operator==(const EosConsoleName&, const EosConsoleName&) = default;
};

// The text after the last "(" up to a closing ")" at the very end is the type, when
// both it and the text before it are non-empty; otherwise the whole text is the name.
EosConsoleName splitConsoleName(const QString& rawName);

// A port given as text: blanks around it are ignored, then an optional sign and
// ASCII digits only; the value must lie in 1–65535.
std::optional<std::uint16_t> discoveryPortFromText(const QString& text);

// The host a reply describes, built from its port, its raw name text and the sender.
EosDiscoveredHost makeDiscoveredHost(std::uint16_t port, const QString& rawName, const QString& ip);

// The decoded reply: the arguments of a "/etc/discovery/reply" message.
std::optional<EosDiscoveredHost> hostFromReplyMessage(const OSCMessage& message, const QString& ip);

// The lenient raw read: the bytes of a datagram the codec would not read as a reply. The name
// is read as UTF-8, so a console called "Bühne 1" is listed even though OSC strings
// are ASCII; every other string must be ASCII.
std::optional<EosDiscoveredHost> hostFromReplyBytes(std::span<const std::uint8_t> bytes, const QString& ip);

// Decodes a datagram and reads its arguments when it is a reply message, else reads its raw bytes leniently.
std::optional<EosDiscoveredHost> hostFromDatagram(std::span<const std::uint8_t> bytes, const QString& ip);

} // namespace pexlora
