// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosGroupDirectory.h"

#include "model/Decimal.h"

#include <algorithm>
#include <utility>

namespace pexlora {

namespace {

bool byValue(const EosGroup& a, const EosGroup& b) {
    return readDecimal(a.number).value_or(Decimal(0)) < readDecimal(b.number).value_or(Decimal(0));
}

OSCMessage question(const std::string& address) {
    return OSCMessage(OSCAddressPattern(address), {});
}

} // namespace

EosGroupDirectory::EosGroupDirectory(std::shared_ptr<EosClock> clock, Send send, Timing timing, QObject* parent)
    : QObject(parent)
    , m_clock(std::move(clock))
    , m_send(std::move(send))
    , m_timing(timing) {}

EosGroupDirectory::~EosGroupDirectory() = default;

const EosGroup* EosGroupDirectory::find(const QString& number) const {
    const auto canonical = EosGroupReply::canonicalNumber(number);
    if (!canonical)
        return nullptr;
    const auto found = std::find_if(m_groups.begin(), m_groups.end(),
                                    [&](const EosGroup& group) { return group.number == *canonical; });
    return found == m_groups.end() ? nullptr : &*found;
}

void EosGroupDirectory::start() {
    m_send(OSCMessage("/eos/subscribe", {std::int32_t{1}}));
    readAll();
}

void EosGroupDirectory::stop() {
    m_readAll.reset();
    m_readTimer.reset();
    m_numberTimer.reset();
    // Whoever waits for a group hears that no answer will come.
    const auto unanswered = std::exchange(m_askedNumbers, {});
    for (const auto& [number, asked] : unanswered)
        emit groupRead(number, false);
    const bool had = !m_groups.empty();
    m_groups.clear();
    setStatus(Status::off);
    if (had)
        emit changed();
}

void EosGroupDirectory::readAll() {
    m_readAll = std::make_unique<ReadAll>();
    setStatus(Status::reading);
    m_send(question("/eos/get/group/count"));
    m_readTimer = m_clock->startOnce(this, m_timing.countTimeout, [this] {
        // A desk that will not say how many groups it has cannot be read.
        m_readAll.reset();
        setStatus(Status::unreadable);
    });
}

void EosGroupDirectory::askMore() {
    ReadAll& reading = *m_readAll;
    while (reading.nextIndex < reading.count && static_cast<int>(reading.asked.size()) < window) {
        reading.asked.insert(reading.nextIndex);
        m_send(question("/eos/get/group/index/" + std::to_string(reading.nextIndex)));
        ++reading.nextIndex;
    }
    if (reading.asked.empty()) {
        finishReadAll();
        return;
    }
    m_readTimer = m_clock->startOnce(this, m_timing.progressTimeout, [this] { giveUpOnIndices(); });
}

void EosGroupDirectory::giveUpOnIndices() {
    if (!m_readAll)
        return;
    m_readAll->asked.clear();
    askMore();
}

void EosGroupDirectory::finishReadAll() {
    std::vector<EosGroup> groups;
    std::size_t total = 0;
    for (auto& [index, group] : m_readAll->read) {
        // The same group under two indices is told once.
        if (std::any_of(groups.begin(), groups.end(),
                        [&](const EosGroup& other) { return other.number == group.number; }))
            continue;
        if (total + group.channels.size() > maxTotalChannels) {
            group.channels.resize(maxTotalChannels - total);
            group.channelsCut = true;
        }
        total += group.channels.size();
        groups.push_back(std::move(group));
    }
    std::sort(groups.begin(), groups.end(), byValue);
    m_readAll.reset();
    m_readTimer.reset();
    m_groups = std::move(groups);
    setStatus(Status::ready);
    emit changed();
}

void EosGroupDirectory::reread(const QString& number) {
    const auto canonical = EosGroupReply::canonicalNumber(number);
    if (!canonical)
        return;
    m_askedNumbers[*canonical] = {EosGroup{*canonical, {}, {}, false}, m_clock->now() + m_timing.groupTimeout};
    m_send(question("/eos/get/group/" + canonical->toStdString()));
    if (!m_numberTimer)
        timeNumbers();
}

void EosGroupDirectory::timeNumbers() {
    m_numberTimer.reset();
    if (m_askedNumbers.empty())
        return;
    auto earliest = m_askedNumbers.begin()->second.deadline;
    for (const auto& [number, asked] : m_askedNumbers)
        earliest = std::min(earliest, asked.deadline);
    const auto delay = std::max(std::chrono::milliseconds(0), earliest - m_clock->now());
    m_numberTimer = m_clock->startOnce(this, delay, [this] { giveUpOnNumbers(); });
}

void EosGroupDirectory::giveUpOnNumbers() {
    const auto now = m_clock->now();
    std::vector<QString> unanswered;
    for (const auto& [number, asked] : m_askedNumbers)
        if (asked.deadline <= now)
            unanswered.push_back(number);
    for (const QString& number : unanswered) {
        m_askedNumbers.erase(number);
        // A desk that answers for its other groups but not this one has no such group.
        remove(number);
        emit groupRead(number, false);
    }
    timeNumbers();
}

void EosGroupDirectory::take(const OSCMessage& message) {
    const auto reply = EosGroupReply::read(message);
    if (!reply)
        return;
    // A group asked for by number is read even before the whole list is: a recording
    // is confirmed on a link whose framing the user chose, before the desk answered.
    const bool asked = std::holds_alternative<EosGroupReply::Header>(*reply) ||
                       std::holds_alternative<EosGroupReply::Channels>(*reply);
    if (m_status == Status::off && !asked)
        return;
    if (const auto* count = std::get_if<EosGroupReply::Count>(&*reply)) {
        if (!m_readAll || m_readAll->count >= 0)
            return;
        m_readAll->count = count->count;
        askMore();
    } else if (const auto* header = std::get_if<EosGroupReply::Header>(&*reply)) {
        takeHeader(*header);
    } else if (const auto* channels = std::get_if<EosGroupReply::Channels>(&*reply)) {
        takeChannels(*channels);
    } else if (const auto* named = std::get_if<EosGroupReply::Changed>(&*reply)) {
        if (named->all) {
            readAll();
            return;
        }
        for (const QString& number : named->numbers)
            reread(number);
    } else {
        readAll();
    }
}

void EosGroupDirectory::takeHeader(const EosGroupReply::Header& header) {
    if (m_readAll && header.index && m_readAll->asked.contains(*header.index)) {
        EosGroup& group = m_readAll->read[*header.index];
        group.number = header.number;
        group.label = header.label;
        return;
    }
    if (const auto asked = m_askedNumbers.find(header.number); asked != m_askedNumbers.end())
        asked->second.group.label = header.label;
}

void EosGroupDirectory::takeChannels(const EosGroupReply::Channels& reply) {
    if (m_readAll && reply.index && m_readAll->asked.contains(*reply.index)) {
        EosGroup& group = m_readAll->read[*reply.index];
        group.number = reply.number;
        group.channels = reply.channels;
        group.channelsCut = reply.cut;
        m_readAll->asked.erase(*reply.index);
        askMore();
        return;
    }
    const auto asked = m_askedNumbers.find(reply.number);
    if (asked == m_askedNumbers.end())
        return;
    EosGroup group = std::move(asked->second.group);
    m_askedNumbers.erase(asked);
    group.channels = reply.channels;
    group.channelsCut = reply.cut;
    const QString number = group.number;
    store(std::move(group));
    emit groupRead(number, true);
}

void EosGroupDirectory::store(EosGroup group) {
    std::erase_if(m_groups, [&](const EosGroup& other) { return other.number == group.number; });
    const std::size_t room = maxTotalChannels - std::min(maxTotalChannels, totalChannels());
    if (group.channels.size() > room) {
        group.channels.resize(room);
        group.channelsCut = true;
    }
    m_groups.insert(std::upper_bound(m_groups.begin(), m_groups.end(), group, byValue), std::move(group));
    emit changed();
}

void EosGroupDirectory::remove(const QString& number) {
    const auto found = std::find_if(m_groups.begin(), m_groups.end(),
                                    [&](const EosGroup& group) { return group.number == number; });
    if (found == m_groups.end())
        return;
    m_groups.erase(found);
    emit changed();
}

void EosGroupDirectory::setStatus(Status status) {
    if (status == m_status)
        return;
    m_status = status;
    emit statusChanged();
}

std::size_t EosGroupDirectory::totalChannels() const {
    std::size_t total = 0;
    for (const EosGroup& group : m_groups)
        total += group.channels.size();
    return total;
}

} // namespace pexlora
