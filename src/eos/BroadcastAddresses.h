// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace pexlora {

// What discovery needs to know of one address entry of a network interface.
struct NetworkInterfaceEntry {
    bool isUp = false;
    bool supportsBroadcast = false;
    bool isLoopback = false;
    std::optional<QString> ipv4Address;   // dotted, when the entry has an IPv4 address
    std::optional<QString> ipv4Broadcast; // dotted, when it has an IPv4 broadcast address

    friend bool operator==(const NetworkInterfaceEntry&, const NetworkInterfaceEntry&) = default;
};

inline const QString limitedBroadcastAddress = QStringLiteral("255.255.255.255");

// Where a discovery request goes: 255.255.255.255 first, then the distinct broadcast
// addresses of the usable entries in plain character order.
std::vector<QString> broadcastAddresses(const std::vector<NetworkInterfaceEntry>& entries);

// The machine's interface entries; nothing when they cannot be enumerated.
std::optional<std::vector<NetworkInterfaceEntry>> systemInterfaceEntries();

// broadcastAddresses over the machine's interfaces, or 255.255.255.255 alone when
// they cannot be enumerated.
std::vector<QString> systemBroadcastAddresses();

} // namespace pexlora
