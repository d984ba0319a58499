// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatorSacn.h"

#include "sacn/SacnPacketWriter.h"

namespace pexlora::sim {

SimulatorSacn::SimulatorSacn(std::shared_ptr<EosClock> clock, QObject* context, Send send,
                             SacnSourceIdentity source)
    : m_clock(std::move(clock))
    , m_send(std::move(send))
    , m_source(std::move(source)) {
    m_timer = m_clock->startRepeating(context, tick, [this] { sendDue(); });
}

SimulatorSacn::~SimulatorSacn() = default;

void SimulatorSacn::setLevels(const UniverseSlots& universes) {
    if (m_state == State::stopped)
        return;
    for (auto stream = m_streams.begin(); stream != m_streams.end();) {
        if (universes.contains(stream->first)) {
            ++stream;
            continue;
        }
        terminate(stream->first, stream->second);
        stream = m_streams.erase(stream);
    }
    for (const auto& [universe, slots] : universes) {
        Stream& stream = m_streams[universe];
        if (stream.levels != slots) {
            stream.levels = slots;
            stream.changed = true;
        }
    }
}

void SimulatorSacn::stop() {
    if (m_state == State::stopped)
        return;
    m_state = State::stopped;
    m_timer.reset();
    for (auto& [universe, stream] : m_streams)
        terminate(universe, stream);
    m_streams.clear();
}

void SimulatorSacn::sendDue() {
    if (m_state == State::stopped)
        return;
    const auto now = m_clock->now();
    for (auto& [universe, stream] : m_streams) {
        if (stream.changed) {
            stream.repeatsLeft = repeats;
        } else if (stream.repeatsLeft > 0) {
            --stream.repeatsLeft;
        } else if (stream.lastSent && now - *stream.lastSent < keepAlive) {
            continue;
        }
        stream.changed = false;
        stream.lastSent = now;
        send(universe, stream, false);
    }
}

void SimulatorSacn::send(std::uint16_t universe, Stream& stream, bool terminated) {
    SacnDataPacket packet;
    packet.cid = m_source.cid;
    packet.sourceName = std::string_view(m_source.name);
    packet.priority = m_source.priority;
    packet.sequence = stream.sequence++;
    packet.terminated = terminated;
    packet.universe = universe;
    packet.values = stream.levels;
    packet.slotCount = stream.levels.size();
    std::array<std::uint8_t, maxSacnPacketSize> bytes;
    const std::size_t size = writeSacnPacket(packet, bytes);
    m_send(universe, std::span(bytes).first(size));
}

void SimulatorSacn::terminate(std::uint16_t universe, Stream& stream) {
    for (int i = 0; i < repeats; ++i)
        send(universe, stream, true);
}

} // namespace pexlora::sim
