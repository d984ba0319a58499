// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosClock.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <variant>

namespace pexlora {

class EosConnectionManager;

// Records a selection as a group on the desk and finds out whether the desk kept it:
// it reads the group back and compares its channels, in order, with those sent. A
// recording asked for while the desk is not answering waits for it a while, and is
// never dropped without a word.
class EosGroupRecorder : public QObject {
    Q_OBJECT

public:
    struct Timing {
        // The longest a recording waits for the desk to answer before it is given up.
        std::chrono::milliseconds waitForDesk{10000};
    };

    // What became of the last recording, in words the window shows as they are.
    struct Report {
        enum class Tone { none, pending, good, bad };
        Tone tone = Tone::none;
        QString text;
        friend bool operator==(const Report&, const Report&) = default;
    };

    EosGroupRecorder(EosConnectionManager& link, std::shared_ptr<EosClock> clock, Timing timing);
    EosGroupRecorder(EosConnectionManager& link, std::shared_ptr<EosClock> clock)
        : EosGroupRecorder(link, std::move(clock), Timing{}) {}
    ~EosGroupRecorder() override;

    // Records `channels` (numbers, in order) as group `number`; `channelList` is the
    // list as the desk's "/chans" reads it, groups in brackets.
    void record(const QString& number, const QStringList& channels, const QString& channelList);
    const Report& report() const { return m_report; }

signals:
    void reportChanged();

private:
    struct Request {
        QString number;
        QStringList channels;
        QString channelList;
    };
    struct Idle {};
    struct Waiting {
        Request request;
        std::unique_ptr<EosTimer> timeout;
    };
    struct Confirming {
        Request request;
    };
    using State = std::variant<Idle, Waiting, Confirming>;

    // Every change of state goes through here, with the report that goes with it.
    void enter(State next, Report report);
    void linkChanged();
    void send(Request request);
    void groupRead(const QString& number, bool found);

    EosConnectionManager& m_link;
    std::shared_ptr<EosClock> m_clock;
    Timing m_timing;
    State m_state;
    Report m_report;
};

} // namespace pexlora
