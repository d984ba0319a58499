// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/BroadcastAddresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <set>

namespace pexlora {

namespace {

std::optional<QString> dottedIPv4(const sockaddr* address) {
    if (!address || address->sa_family != AF_INET)
        return std::nullopt;
    char text[INET_ADDRSTRLEN] = {};
    const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
    if (!inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text))
        return std::nullopt;
    return QString::fromLatin1(text);
}

} // namespace

std::vector<QString> broadcastAddresses(const std::vector<NetworkInterfaceEntry>& entries) {
    std::set<QString> collected;
    for (const NetworkInterfaceEntry& entry : entries) {
        if (!entry.isUp || !entry.supportsBroadcast || entry.isLoopback || !entry.ipv4Address ||
            !entry.ipv4Broadcast)
            continue;
        if (*entry.ipv4Broadcast == QLatin1String("0.0.0.0") ||
            *entry.ipv4Broadcast == limitedBroadcastAddress)
            continue;
        collected.insert(*entry.ipv4Broadcast);
    }
    std::vector<QString> list{limitedBroadcastAddress};
    list.insert(list.end(), collected.begin(), collected.end());
    return list;
}

std::optional<std::vector<NetworkInterfaceEntry>> systemInterfaceEntries() {
    ifaddrs* first = nullptr;
    if (getifaddrs(&first) != 0)
        return std::nullopt;
    std::vector<NetworkInterfaceEntry> entries;
    for (const ifaddrs* entry = first; entry; entry = entry->ifa_next) {
        NetworkInterfaceEntry converted;
        converted.isUp = (entry->ifa_flags & IFF_UP) != 0;
        converted.supportsBroadcast = (entry->ifa_flags & IFF_BROADCAST) != 0;
        converted.isLoopback = (entry->ifa_flags & IFF_LOOPBACK) != 0;
        converted.ipv4Address = dottedIPv4(entry->ifa_addr);
        // ifa_broadaddr is only meaningful for broadcast-capable interfaces.
        if (converted.supportsBroadcast)
            converted.ipv4Broadcast = dottedIPv4(entry->ifa_broadaddr);
        entries.push_back(std::move(converted));
    }
    freeifaddrs(first);
    return entries;
}

std::vector<QString> systemBroadcastAddresses() {
    const auto entries = systemInterfaceEntries();
    if (!entries)
        return {limitedBroadcastAddress};
    return broadcastAddresses(*entries);
}

} // namespace pexlora
