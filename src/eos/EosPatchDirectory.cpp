// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosPatchDirectory.h"

#include "eos/EosConnectionManager.h"
#include "eos/EosGroupReplies.h"
#include "eos/EosPatchImport.h"

#include <span>

namespace pexlora {

namespace {

enum class Notice { none, channels, everything };

// What a message says changed in the patch: the channels named, or everything.
Notice notice(const OSCMessage& message, std::vector<int>& channels) {
    const std::string_view address = message.addressPattern.rawAddress();
    if (address == "/eos/out/event/show/loaded" || address == "/eos/out/event/show/cleared")
        return Notice::everything;
    if (address != "/eos/out/notify/patch" || message.values.empty())
        return Notice::none;
    // The first value is the desk's sequence number, not a channel.
    bool cut = false;
    channels = EosGroupReply::channelNumbers(std::span(message.values).subspan(1),
                                             EosPatchDirectory::maxNamed, &cut);
    return cut ? Notice::everything : Notice::channels;
}

} // namespace

EosPatchDirectory::EosPatchDirectory(EosConnectionManager& link, std::shared_ptr<EosClock> clock,
                                     QObject* parent)
    : QObject(parent)
    , m_link(&link)
    , m_clock(std::move(clock)) {
    connect(&link, &EosConnectionManager::messageReceived, this, &EosPatchDirectory::take);
}

EosPatchDirectory::~EosPatchDirectory() = default;

const std::vector<EosPatchPart>* EosPatchDirectory::parts(int channel) const {
    const auto found = m_channels.find(channel);
    return found == m_channels.end() ? nullptr : &found->second;
}

void EosPatchDirectory::start() {
    readAll();
}

void EosPatchDirectory::stop() {
    m_import.reset();
    m_reread.reset();
    m_pending.clear();
    const bool had = !m_channels.empty();
    m_channels.clear();
    setStatus(Status::off);
    if (had)
        emit changed();
}

void EosPatchDirectory::readAll() {
    if (!m_link)
        return;
    // A read of the whole patch takes in whatever a reread would have found.
    m_reread.reset();
    m_pending.clear();
    m_import = std::make_unique<EosPatchImport>(*m_link, m_clock);
    connect(m_import.get(), &EosPatchImport::finished, this, &EosPatchDirectory::finishReadAll);
    setStatus(Status::reading);
    m_import->start();
}

void EosPatchDirectory::finishReadAll(const EosPatchResult& result) {
    // Deleted later: this is its own signal.
    m_import.release()->deleteLater();
    if (result.failed) {
        setStatus(Status::unreadable);
        return;
    }
    m_channels.clear();
    for (const EosPatchPart& part : result.parts)
        m_channels[part.channel].push_back(part);
    setStatus(Status::ready);
    emit changed();
    if (!m_pending.empty())
        reread(std::vector<int>(m_pending.begin(), m_pending.end()));
}

void EosPatchDirectory::reread(const std::vector<int>& channels) {
    if (m_import || m_reread) {
        m_pending.insert(channels.begin(), channels.end());
        if (m_pending.size() > maxNamed)
            readAll();
        return;
    }
    m_pending.clear();
    m_reread = std::make_unique<Reread>();
    m_reread->channels.insert(channels.begin(), channels.end());
    for (const int channel : m_reread->channels)
        m_link->sendMessage(OSCMessage(OSCAddressPattern("/eos/get/patch/" + std::to_string(channel)), {}));
    // The desk answers in order: once the ping comes back, every part it has for those
    // channels has come, and a channel without any is no longer patched.
    m_reread->fence = "patch reread " + std::to_string(++m_rereads);
    m_link->sendMessage(OSCMessage("/eos/ping", {m_reread->fence}));
    m_reread->timeout = m_clock->startOnce(this, EosPatchImport::replyTimeout, [this] { finishReread(false); });
}

void EosPatchDirectory::finishReread(bool answered) {
    const std::unique_ptr<Reread> done = std::move(m_reread);
    for (const int channel : done->channels) {
        auto parts = done->parts.find(channel);
        if (parts != done->parts.end())
            m_channels[channel] = std::move(parts->second);
        else if (answered)
            m_channels.erase(channel);
        // Unanswered and silent: what was known stays.
    }
    emit changed();
    if (!m_pending.empty())
        reread(std::vector<int>(m_pending.begin(), m_pending.end()));
}

void EosPatchDirectory::take(const OSCMessage& message) {
    if (m_status == Status::off)
        return;
    std::vector<int> named;
    switch (notice(message, named)) {
    case Notice::everything:
        readAll();
        return;
    case Notice::channels:
        reread(named);
        return;
    case Notice::none:
        break;
    }
    if (!m_reread)
        return;
    if (message.addressPattern.rawAddress() == "/eos/out/ping" && message.values.size() == 1 &&
        message.values[0] == OSCValue(m_reread->fence)) {
        finishReread(true);
        return;
    }
    if (auto entry = patchReplyEntry(message)) {
        if (!m_reread->channels.contains(entry->part.channel))
            return;
        // A part told twice is the later telling; part numbers bound how many there are.
        auto& parts = m_reread->parts[entry->part.channel];
        std::erase_if(parts, [&](const EosPatchPart& part) { return part.part == entry->part.part; });
        parts.push_back(std::move(entry->part));
    } else if (const auto position = patchPositionReply(message)) {
        auto parts = m_reread->parts.find(position->channel);
        if (parts == m_reread->parts.end())
            return;
        for (EosPatchPart& part : parts->second)
            if (part.part == position->part)
                part.position = position->position;
    }
}

void EosPatchDirectory::setStatus(Status status) {
    if (status == m_status)
        return;
    m_status = status;
    emit statusChanged();
}

} // namespace pexlora
