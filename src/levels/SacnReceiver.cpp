// SPDX-License-Identifier: GPL-3.0-or-later
#include "levels/SacnReceiver.h"

#include "levels/SacnNetwork.h"
#include "levels/SacnUdpSocket.h"
#include "sacn/SacnPacket.h"

namespace pexlora {

SacnReceiver::SacnReceiver(std::shared_ptr<EosClock> clock, SacnReceiverOptions options, QObject* parent)
    : SacnReceiver(std::move(clock), options, std::make_unique<SacnUdpSocket>(), parent) {}

SacnReceiver::SacnReceiver(std::shared_ptr<EosClock> clock, SacnReceiverOptions options,
                           std::unique_ptr<SacnSocket> socket, QObject* parent)
    : QObject(parent)
    , m_clock(std::move(clock))
    , m_options(options)
    , m_socket(std::move(socket)) {
    m_socket->setReadyHandler([this] { readBurst(); });
}

SacnReceiver::~SacnReceiver() {
    m_expiryTimer.reset();
    leaveGroups();
    m_socket->close();
}

bool SacnReceiver::listen(const std::set<std::uint16_t>& universes, const QHostAddress& desk) {
    if (!m_boundPort) {
        const auto bound = m_socket->bind(m_options.port);
        if (!bound) {
            m_lastError = tr("Cannot listen for sACN on port %1: %2").arg(m_options.port).arg(bound.error());
            return false;
        }
        m_boundPort = *bound;
        m_lastError.clear();
        m_expiryTimer = m_clock->startRepeating(this, expiryPeriod, [this] { expire(); });
    }

    std::set<std::uint16_t> valid;
    for (const std::uint16_t universe : universes)
        if (universe >= 1 && universe <= SacnDataPacket::maxUniverse)
            valid.insert(universe);
    joinGroups(valid, deskInterface(systemSacnInterfaces(), desk));

    m_changed.clear();
    for (auto wanted = m_wanted.begin(); wanted != m_wanted.end();) {
        if (valid.contains(wanted->first)) {
            ++wanted;
            continue;
        }
        m_merger.forget(wanted->first);
        if (wanted->second.levels.count > 0)
            m_changed.push_back(wanted->first);
        wanted = m_wanted.erase(wanted);
    }
    for (const std::uint16_t universe : valid)
        m_wanted.try_emplace(universe);
    // Room for every wanted universe, so that a burst never grows it.
    m_changed.reserve(m_wanted.size());
    if (!m_changed.empty())
        emit levelsChanged(m_changed);
    publish();
    return true;
}

void SacnReceiver::stop() {
    if (!m_boundPort)
        return;
    m_expiryTimer.reset();
    leaveGroups();
    m_socket->close();
    m_boundPort.reset();
    m_changed.clear();
    for (const auto& [universe, wanted] : m_wanted) {
        m_merger.forget(universe);
        if (wanted.levels.count > 0)
            m_changed.push_back(universe);
    }
    m_wanted.clear();
    if (!m_changed.empty())
        emit levelsChanged(m_changed);
    publish();
}

std::optional<std::uint8_t> SacnReceiver::level(std::uint16_t universe, std::size_t slot) const {
    const auto wanted = m_wanted.find(universe);
    if (wanted == m_wanted.end() || slot < 1 || slot > wanted->second.levels.count)
        return std::nullopt;
    return wanted->second.levels.values[slot - 1];
}

void SacnReceiver::readBurst() {
    if (!m_boundPort)
        return;
    const auto now = m_clock->now();
    bool taken = false;
    for (int count = 0; count < maxDatagramsPerTurn; ++count) {
        const auto size = m_socket->read(m_buffer);
        if (!size)
            break;
        const auto packet = readSacnPacket(std::span<const std::uint8_t>(m_buffer.data(), *size));
        if (!packet)
            continue;
        const auto wanted = m_wanted.find(packet->universe);
        if (wanted == m_wanted.end())
            continue;
        if (m_merger.take(*packet, now)) {
            wanted->second.touched = true;
            taken = true;
        }
    }
    if (taken)
        publish();
}

void SacnReceiver::expire() {
    if (!m_merger.expire(m_clock->now()))
        return;
    for (auto& [universe, wanted] : m_wanted)
        wanted.touched = true;
    publish();
}

void SacnReceiver::publish() {
    m_changed.clear();
    for (auto& [universe, wanted] : m_wanted) {
        if (!wanted.touched)
            continue;
        wanted.touched = false;
        const SacnMerger::Levels merged = m_merger.levels(universe);
        if (merged == wanted.levels)
            continue;
        wanted.levels = merged;
        m_changed.push_back(universe);
    }
    if (!m_changed.empty())
        emit levelsChanged(m_changed);

    Summary summary;
    if (const auto lowest = m_merger.lowestUniverse())
        summary.sourceName = QString::fromStdString(m_merger.winnerName(*lowest).value_or(std::string()));
    summary.sourceCount = static_cast<int>(m_merger.sourceCount());
    summary.universeCount = static_cast<int>(m_merger.universeCount());
    if (summary == m_summary)
        return;
    m_summary = summary;
    emit summaryChanged();
}

void SacnReceiver::joinGroups(const std::set<std::uint16_t>& universes, const QString& interfaceName) {
    if (interfaceName != m_interfaceName)
        leaveGroups();
    m_interfaceName = interfaceName;
    for (auto joined = m_joined.begin(); joined != m_joined.end();) {
        if (universes.contains(*joined)) {
            ++joined;
            continue;
        }
        m_socket->leaveGroup(sacnMulticastGroup(*joined), m_interfaceName);
        joined = m_joined.erase(joined);
    }
    // A group that cannot be joined (no multicast route, say) still hears unicast.
    for (const std::uint16_t universe : universes)
        if (!m_joined.contains(universe) &&
            m_socket->joinGroup(sacnMulticastGroup(universe), m_interfaceName))
            m_joined.insert(universe);
}

void SacnReceiver::leaveGroups() {
    for (const std::uint16_t universe : m_joined)
        m_socket->leaveGroup(sacnMulticastGroup(universe), m_interfaceName);
    m_joined.clear();
}

} // namespace pexlora
