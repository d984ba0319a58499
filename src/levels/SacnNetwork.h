// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHostAddress>
#include <QString>
#include <cstdint>
#include <vector>

namespace pexlora {

// The multicast group a universe is sent to: 239.255.<high byte>.<low byte>.
QHostAddress sacnMulticastGroup(std::uint16_t universe);

// What choosing an interface for the desk needs to know of one network interface.
struct SacnInterface {
    struct Subnet {
        QHostAddress address;
        int prefixLength = 0;
        friend bool operator==(const Subnet&, const Subnet&) = default;
    };
    QString name;
    bool isUp = false;
    bool canMulticast = false;
    std::vector<Subnet> ipv4;
    friend bool operator==(const SacnInterface&, const SacnInterface&) = default;
};

// The name of the first usable interface whose IPv4 subnet holds `desk`, the one the
// desk's multicast arrives on; empty (the system's choice) when none does or the desk
// is not an IPv4 address.
QString deskInterface(const std::vector<SacnInterface>& interfaces, const QHostAddress& desk);

// The machine's interfaces, as deskInterface reads them.
std::vector<SacnInterface> systemSacnInterfaces();

} // namespace pexlora
