// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosClock.h"
#include "levels/SacnSocket.h"
#include "sacn/SacnMerger.h"

#include <QHostAddress>
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace pexlora {

struct SacnReceiverOptions {
    std::uint16_t port = 5568; // 0: the system's choice
};

// The desk's live levels as they arrive over sACN: listens for the universes wanted,
// merges their sources and says which universes' levels changed.
class SacnReceiver : public QObject {
    Q_OBJECT
public:
    // Read in one turn of the event loop; the rest waits for the next turn, so that a
    // flood cannot keep the window from its own events.
    static constexpr int maxDatagramsPerTurn = 64;
    // How often sources are checked for loss: a tenth of the time they may stay silent.
    static constexpr std::chrono::milliseconds expiryPeriod = SacnMerger::sourceLoss / 10;

    SacnReceiver(std::shared_ptr<EosClock> clock, SacnReceiverOptions options, QObject* parent = nullptr);
    SacnReceiver(std::shared_ptr<EosClock> clock, SacnReceiverOptions options,
                 std::unique_ptr<SacnSocket> socket, QObject* parent = nullptr);
    ~SacnReceiver() override;

    // Listens for `universes` from now on: joins their multicast groups on the interface
    // whose subnet holds `desk` (the system's choice when none does or `desk` is null)
    // and leaves the groups of universes no longer wanted; datagrams sent to the port
    // by unicast are taken too. False, with lastError(), when the port cannot be bound.
    bool listen(const std::set<std::uint16_t>& universes, const QHostAddress& desk);
    // Stops listening and forgets every level.
    void stop();
    bool isListening() const { return m_boundPort.has_value(); }
    // The bound port; 0 while not listening.
    std::uint16_t localPort() const { return m_boundPort.value_or(0); }
    QString lastError() const { return m_lastError; }

    // The merged level of `slot` (1–512) of a wanted universe; none while no source sends it.
    std::optional<std::uint8_t> level(std::uint16_t universe, std::size_t slot) const;

    struct Summary {
        QString sourceName; // the winning source of the lowest universe heard
        int sourceCount = 0;
        int universeCount = 0;
        friend bool operator==(const Summary&, const Summary&) = default;
    };
    Summary summary() const { return m_summary; }

signals:
    // Once per burst of datagrams or expiry, only for universes whose merged levels changed.
    void levelsChanged(const std::vector<std::uint16_t>& universes);
    void summaryChanged();

private:
    struct Wanted {
        SacnMerger::Levels levels;
        bool touched = false; // a packet was taken, or a source lost, since the last publish
    };

    void readBurst();
    void expire();
    // Compares the merged levels of the touched universes with the kept ones and says what changed.
    void publish();
    void joinGroups(const std::set<std::uint16_t>& universes, const QString& interfaceName);
    void leaveGroups();

    std::shared_ptr<EosClock> m_clock;
    SacnReceiverOptions m_options;
    std::unique_ptr<SacnSocket> m_socket;
    std::optional<std::uint16_t> m_boundPort; // set while listening
    QString m_lastError;
    QString m_interfaceName;
    std::set<std::uint16_t> m_joined;
    std::map<std::uint16_t, Wanted> m_wanted;
    SacnMerger m_merger;
    Summary m_summary;
    std::unique_ptr<EosTimer> m_expiryTimer;
    // Larger than any sACN packet, so that a longer datagram is cut and then refused.
    std::array<std::uint8_t, 1024> m_buffer{};
    std::vector<std::uint16_t> m_changed;
};

} // namespace pexlora
