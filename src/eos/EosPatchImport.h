// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosClock.h"
#include "eos/EosPatchReply.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace pexlora {

class EosConnectionManager;
struct OSCMessage;

// What a patch import brought back.
struct EosPatchResult {
    QList<int> channels; // ascending, unique (the parts of one channel are one channel)
    int missing = 0;     // indices that never got an answer, after one retry
    bool cancelled = false;
    bool failed = false; // no link, or the count was never answered
    int total = 0;       // the number of entries the console gave; 0 while it never gave one
    std::vector<EosPatchPart> parts; // by channel, then part

    friend bool operator==(const EosPatchResult&, const EosPatchResult&) = default;
};

// Reads the console's patch: the number of patch entries, then every entry, with a
// bounded number of questions in flight and one more try for each that is not answered.
// A part's position follows its list, so the read ends once a ping sent after the last
// answer comes back: the desk answers in order.
class EosPatchImport : public QObject {
    Q_OBJECT

public:
    static constexpr int maxInFlight = 32;
    static constexpr std::chrono::milliseconds replyTimeout{2000};

    explicit EosPatchImport(EosConnectionManager& link, QObject* parent = nullptr);
    EosPatchImport(EosConnectionManager& link, std::shared_ptr<EosClock> clock, QObject* parent = nullptr);
    ~EosPatchImport() override;

    void start();
    // Ends the import at once; `finished` reports what had arrived, marked cancelled.
    // Every outcome is reported from the event loop, never from inside a call.
    void cancel();

signals:
    void progressChanged(int answered, int total);
    void finished(const pexlora::EosPatchResult& result);

private:
    struct Question {
        int tries = 0;
        std::unique_ptr<EosTimer> timeout;
    };

    void askCount();
    void ask(int index);
    void askMore();
    void askFence();
    void handleMessage(const OSCMessage& message);
    void unanswered(int index);
    void finish(bool cancelled, bool failed);

    QPointer<EosConnectionManager> m_link;
    std::shared_ptr<EosClock> m_clock;
    QMetaObject::Connection m_listening;
    QMetaObject::Connection m_watchingLink;
    bool m_running = false;
    int m_countTries = 0;
    std::unique_ptr<EosTimer> m_countTimeout;
    int m_total = -1; // unknown until the count is answered
    int m_next = 0;   // the next index to ask
    int m_answered = 0;
    int m_missing = 0;
    std::map<int, Question> m_inFlight;
    std::map<std::pair<int, int>, EosPatchPart> m_parts; // by channel and part
    std::string m_fence; // the ping that ends the read, once sent
    std::unique_ptr<EosTimer> m_fenceTimeout;
};

} // namespace pexlora

Q_DECLARE_METATYPE(pexlora::EosPatchResult)
