// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SimulatorUniverses.h"
#include "eos/EosClock.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace pexlora::sim {

// Who the desk's sACN streams come from.
struct SacnSourceIdentity {
    std::array<std::uint8_t, 16> cid{}; // the same for the whole run
    std::string name = "Eos (Pexlora simulator)";
    std::uint8_t priority = 100;
};

// The desk's live output as an E1.31 source: one stream per universe, each with its
// own sequence numbers. A universe whose levels change goes out on the next tick, at
// about 44 packets a second, and three more times after the last change; a steady one
// about once a second, so that receivers keep it. Stopped, or when a universe leaves the
// patch, each stream ends with three packets saying so. Time and the socket are injected.
// Free of Qt's headers, whose "slots" keyword the packet's field would trip over.
class SimulatorSacn {
public:
    using Send = std::function<void(std::uint16_t universe, std::span<const std::uint8_t> packet)>;

    static constexpr std::chrono::milliseconds tick{23}; // 1000 / 44, rounded up
    static constexpr std::chrono::milliseconds keepAlive{1000};
    static constexpr int repeats = 3; // after a change, and at the end

    // The ticks run on `context`'s thread.
    SimulatorSacn(std::shared_ptr<EosClock> clock, QObject* context, Send send, SacnSourceIdentity source);
    ~SimulatorSacn();
    SimulatorSacn(const SimulatorSacn&) = delete;
    SimulatorSacn& operator=(const SimulatorSacn&) = delete;

    // The levels now on the desk's output; sent from the next tick on.
    void setLevels(const UniverseSlots& universes);
    // Ends every stream; nothing is sent after it.
    void stop();

private:
    enum class State { sending, stopped };

    struct Stream {
        std::array<std::uint8_t, 512> levels{};
        std::uint8_t sequence = 0;
        bool changed = true;
        int repeatsLeft = 0;
        std::optional<std::chrono::milliseconds> lastSent;
    };

    void sendDue();
    void send(std::uint16_t universe, Stream& stream, bool terminated);
    void terminate(std::uint16_t universe, Stream& stream);

    std::shared_ptr<EosClock> m_clock;
    Send m_send;
    SacnSourceIdentity m_source;
    State m_state = State::sending;
    std::map<std::uint16_t, Stream> m_streams;
    std::unique_ptr<EosTimer> m_timer;
};

} // namespace pexlora::sim
