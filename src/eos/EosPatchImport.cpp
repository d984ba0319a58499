// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosPatchImport.h"

#include "eos/EosConnectionManager.h"
#include "eos/EosPatchReply.h"

#include <QTimer>
#include <algorithm>

namespace pexlora {

namespace {

// More entries than any console patches; a larger count is not believed.
constexpr int maxEntries = 100000;

} // namespace

EosPatchImport::EosPatchImport(EosConnectionManager& link, QObject* parent)
    : EosPatchImport(link, EosClock::system(), parent) {}

EosPatchImport::EosPatchImport(EosConnectionManager& link, std::shared_ptr<EosClock> clock, QObject* parent)
    : QObject(parent)
    , m_link(&link)
    , m_clock(std::move(clock)) {}

EosPatchImport::~EosPatchImport() {
    QObject::disconnect(m_listening);
    QObject::disconnect(m_watchingLink);
}

void EosPatchImport::start() {
    if (m_running)
        return;
    if (!m_link || !m_link->isConnected()) {
        // Reported from the event loop, as every other outcome is.
        QTimer::singleShot(0, this, [this] {
            EosPatchResult result;
            result.failed = true;
            emit finished(result);
        });
        return;
    }
    m_running = true;
    m_listening = QObject::connect(m_link, &EosConnectionManager::messageReceived, this,
                                   &EosPatchImport::handleMessage);
    m_watchingLink = QObject::connect(m_link, &EosConnectionManager::isConnectedChanged, this, [this] {
        if (m_link && !m_link->isConnected())
            finish(false, true);
    });
    askCount();
}

void EosPatchImport::cancel() {
    if (m_running)
        finish(true, false);
}

void EosPatchImport::askCount() {
    ++m_countTries;
    m_link->sendMessage(OSCMessage("/eos/get/patch/count", {}));
    m_countTimeout = m_clock->startOnce(this, replyTimeout, [this] {
        if (m_countTries < 2)
            askCount();
        else
            finish(false, true);
    });
}

void EosPatchImport::ask(int index) {
    Question& question = m_inFlight[index];
    ++question.tries;
    m_link->sendMessage(OSCMessage(OSCAddressPattern("/eos/get/patch/index/" + std::to_string(index)), {}));
    question.timeout = m_clock->startOnce(this, replyTimeout, [this, index] { unanswered(index); });
}

void EosPatchImport::askMore() {
    while (m_running && m_next < m_total && static_cast<int>(m_inFlight.size()) < maxInFlight)
        ask(m_next++);
    if (m_running && m_next == m_total && m_inFlight.empty() && m_fence.empty())
        askFence();
}

void EosPatchImport::askFence() {
    // Unique to this read, so that no other ping ends it.
    static int reads = 0;
    m_fence = "patch read " + std::to_string(++reads);
    m_link->sendMessage(OSCMessage("/eos/ping", {m_fence}));
    // A desk that does not echo loses only the last positions.
    m_fenceTimeout = m_clock->startOnce(this, replyTimeout, [this] { finish(false, false); });
}

void EosPatchImport::unanswered(int index) {
    const auto question = m_inFlight.find(index);
    if (question == m_inFlight.end())
        return;
    if (question->second.tries < 2) {
        ask(index);
        return;
    }
    m_inFlight.erase(question);
    ++m_missing;
    askMore();
}

void EosPatchImport::handleMessage(const OSCMessage& message) {
    if (const auto count = patchCountReply(message)) {
        if (m_total >= 0 || *count < 0 || *count > maxEntries)
            return;
        m_countTimeout.reset();
        m_total = *count;
        emit progressChanged(0, m_total);
        askMore();
        return;
    }
    if (const auto position = patchPositionReply(message)) {
        if (const auto part = m_parts.find({position->channel, position->part}); part != m_parts.end())
            part->second.position = position->position;
        return;
    }
    if (!m_fence.empty() && message.addressPattern.rawAddress() == "/eos/out/ping" &&
        message.values.size() == 1 && message.values[0] == OSCValue(m_fence)) {
        finish(false, false);
        return;
    }
    auto entry = patchReplyEntry(message);
    if (!entry)
        return;
    const auto question = m_inFlight.find(entry->index);
    if (question == m_inFlight.end())
        return;
    m_inFlight.erase(question);
    const std::pair key{entry->part.channel, entry->part.part};
    m_parts.insert_or_assign(key, std::move(entry->part));
    ++m_answered;
    emit progressChanged(m_answered, m_total);
    askMore();
}

void EosPatchImport::finish(bool cancelled, bool failed) {
    if (!m_running)
        return;
    m_running = false;
    QObject::disconnect(m_listening);
    QObject::disconnect(m_watchingLink);
    m_countTimeout.reset();
    m_fenceTimeout.reset();
    EosPatchResult result;
    for (auto& [key, part] : m_parts) {
        if (result.channels.isEmpty() || result.channels.back() != key.first)
            result.channels.append(key.first);
        result.parts.push_back(std::move(part));
    }
    m_parts.clear();
    result.total = std::max(m_total, 0);
    result.cancelled = cancelled;
    result.failed = failed;
    result.missing = m_missing + (m_total > 0 ? m_total - m_next : 0) + static_cast<int>(m_inFlight.size());
    m_inFlight.clear();
    // From the event loop: whoever shows the outcome may open a modal box, and the last
    // answer arrives from inside the link's read.
    QTimer::singleShot(0, this, [this, result] { emit finished(result); });
}

} // namespace pexlora
