// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosClock.h"
#include "eos/EosGroupReplies.h"
#include "osc/OSCMessage.h"

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

namespace pexlora {

// One of the desk's groups as it last said: its channels in the group's order.
struct EosGroup {
    QString number; // canonical, as EosGroupReply::canonicalNumber gives it
    QString label;
    std::vector<int> channels;
    bool channelsCut = false; // the desk named more than were kept
};

// The desk's groups, read once the desk answers and kept up to date from its change
// notifications. Every question is answered or given up on after a while: a desk
// that never answers leaves the directory "unreadable", with what was read kept.
class EosGroupDirectory : public QObject {
    Q_OBJECT

public:
    enum class Status { off, reading, ready, unreadable };

    struct Timing {
        std::chrono::milliseconds countTimeout{5000};
        // A read of every group gives up on the questions unanswered this long.
        std::chrono::milliseconds progressTimeout{3000};
        std::chrono::milliseconds groupTimeout{3000};
    };
    // Index questions in flight at once while reading every group.
    static constexpr int window = 32;
    // Channels kept over all groups together.
    static constexpr std::size_t maxTotalChannels = 2'000'000;

    using Send = std::function<void(const OSCMessage&)>;

    EosGroupDirectory(std::shared_ptr<EosClock> clock, Send send, Timing timing, QObject* parent = nullptr);
    EosGroupDirectory(std::shared_ptr<EosClock> clock, Send send, QObject* parent = nullptr)
        : EosGroupDirectory(std::move(clock), std::move(send), Timing{}, parent) {}
    ~EosGroupDirectory() override;

    Status status() const { return m_status; }
    // In ascending order of number.
    const std::vector<EosGroup>& groups() const { return m_groups; }
    // By number as typed ("12", "12.0"); null for an unknown group or number.
    const EosGroup* find(const QString& number) const;

    // The desk answers: asks to be told of changes, and reads every group.
    void start();
    // The desk is gone: nothing it said still holds.
    void stop();
    // Every whole message from the desk.
    void take(const OSCMessage& message);
    // Reads one group again; groupRead tells when it has, or when the desk did not answer.
    void reread(const QString& number);

signals:
    void statusChanged();
    void changed();
    // `found` is false when the desk did not answer for the group in time.
    void groupRead(const QString& number, bool found);

private:
    // A read of every group: counting, then asking index by index.
    struct ReadAll {
        int count = -1; // -1 until the desk said how many
        int nextIndex = 0;
        std::set<int> asked;
        std::map<int, EosGroup> read; // by index
    };

    void readAll();
    void askMore();
    void finishReadAll();
    void giveUpOnIndices();
    void giveUpOnNumbers();
    void timeNumbers();
    void takeHeader(const EosGroupReply::Header& header);
    void takeChannels(const EosGroupReply::Channels& channels);
    void store(EosGroup group);
    void remove(const QString& number);
    void setStatus(Status status);
    std::size_t totalChannels() const;

    std::shared_ptr<EosClock> m_clock;
    Send m_send;
    Timing m_timing;
    Status m_status = Status::off;
    std::vector<EosGroup> m_groups;
    std::unique_ptr<ReadAll> m_readAll;
    std::unique_ptr<EosTimer> m_readTimer;
    // Groups asked for by number, with what was read of them so far.
    struct Asked {
        EosGroup group;
        std::chrono::milliseconds deadline{};
    };
    std::map<QString, Asked> m_askedNumbers;
    std::unique_ptr<EosTimer> m_numberTimer;
};

} // namespace pexlora
