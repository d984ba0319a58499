// SPDX-License-Identifier: GPL-3.0-or-later
#include "levels/SacnNetwork.h"

#include <QNetworkInterface>

namespace pexlora {

QHostAddress sacnMulticastGroup(std::uint16_t universe) {
    return QHostAddress(quint32{0xEFFF0000u} | universe);
}

QString deskInterface(const std::vector<SacnInterface>& interfaces, const QHostAddress& desk) {
    if (desk.protocol() != QAbstractSocket::IPv4Protocol)
        return {};
    for (const SacnInterface& candidate : interfaces) {
        if (!candidate.isUp || !candidate.canMulticast)
            continue;
        for (const SacnInterface::Subnet& subnet : candidate.ipv4)
            if (subnet.address.protocol() == QAbstractSocket::IPv4Protocol &&
                desk.isInSubnet(subnet.address, subnet.prefixLength))
                return candidate.name;
    }
    return {};
}

std::vector<SacnInterface> systemSacnInterfaces() {
    std::vector<SacnInterface> interfaces;
    for (const QNetworkInterface& system : QNetworkInterface::allInterfaces()) {
        SacnInterface entry;
        entry.name = system.name();
        entry.isUp = system.flags().testFlag(QNetworkInterface::IsUp);
        entry.canMulticast = system.flags().testFlag(QNetworkInterface::CanMulticast);
        for (const QNetworkAddressEntry& address : system.addressEntries())
            if (address.ip().protocol() == QAbstractSocket::IPv4Protocol)
                entry.ipv4.push_back({address.ip(), address.prefixLength()});
        interfaces.push_back(std::move(entry));
    }
    return interfaces;
}

} // namespace pexlora
