// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosClock.h"
#include "eos/EosPatchReply.h"
#include "osc/OSCMessage.h"

#include <QObject>
#include <QPointer>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace pexlora {

class EosConnectionManager;
class EosPatchImport;
struct EosPatchResult;

// The desk's patch, read once the desk answers and kept up to date: the channels its
// change notifications name are read again, and the whole patch after a show is loaded
// or cleared. What was read stays while a new read runs, and when one fails.
class EosPatchDirectory : public QObject {
    Q_OBJECT

public:
    enum class Status { off, reading, ready, unreadable };

    // Channels a notification may name before the whole patch is read instead.
    static constexpr std::size_t maxNamed = 500;

    EosPatchDirectory(EosConnectionManager& link, std::shared_ptr<EosClock> clock, QObject* parent = nullptr);
    ~EosPatchDirectory() override;

    Status status() const { return m_status; }
    // The parts of every patched channel, by channel and then part.
    const std::map<int, std::vector<EosPatchPart>>& channels() const { return m_channels; }
    // The parts of `channel`; null when the desk patches nothing for it.
    const std::vector<EosPatchPart>* parts(int channel) const;

    // The desk answers: reads the whole patch.
    void start();
    // The desk is gone: nothing it said still holds.
    void stop();

signals:
    void statusChanged();
    void changed();

private:
    // Channels asked for by number, with the parts that came for them so far.
    struct Reread {
        std::set<int> channels;
        std::map<int, std::vector<EosPatchPart>> parts;
        std::string fence;
        std::unique_ptr<EosTimer> timeout;
    };

    void readAll();
    void finishReadAll(const EosPatchResult& result);
    void reread(const std::vector<int>& channels);
    void finishReread(bool answered);
    void take(const OSCMessage& message);
    void setStatus(Status status);

    QPointer<EosConnectionManager> m_link;
    std::shared_ptr<EosClock> m_clock;
    Status m_status = Status::off;
    std::map<int, std::vector<EosPatchPart>> m_channels;
    std::unique_ptr<EosPatchImport> m_import;
    std::unique_ptr<Reread> m_reread;
    std::set<int> m_pending; // named while a read ran; read once it ends
    int m_rereads = 0; // makes each reread's fence its own
};

} // namespace pexlora
