// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosGroupRecorder.h"

#include "eos/EosCommandLines.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosGroupDirectory.h"

namespace pexlora {

namespace {

constexpr qsizetype maxShownChannels = 60;

// The desk's channels as it would write them: "1-5,7".
QString channelRuns(const std::vector<int>& channels) {
    QStringList runs;
    std::size_t i = 0;
    while (i < channels.size()) {
        std::size_t j = i;
        while (j + 1 < channels.size() && channels[j + 1] == channels[j] + 1)
            ++j;
        runs.append(i == j ? QString::number(channels[i])
                           : QString::number(channels[i]) + u'-' + QString::number(channels[j]));
        i = j + 1;
    }
    QString text = runs.join(u',');
    if (text.size() > maxShownChannels)
        text = text.left(maxShownChannels) + u'…';
    return text.isEmpty() ? EosGroupRecorder::tr("no channels") : text;
}

QString channelCount(qsizetype count) {
    return count == 1 ? EosGroupRecorder::tr("1 channel") : EosGroupRecorder::tr("%L1 channels").arg(count);
}

} // namespace

EosGroupRecorder::EosGroupRecorder(EosConnectionManager& link, std::shared_ptr<EosClock> clock, Timing timing)
    : m_link(link)
    , m_clock(std::move(clock))
    , m_timing(timing) {
    connect(&m_link, &EosConnectionManager::healthChanged, this, &EosGroupRecorder::linkChanged);
    connect(&m_link.groups(), &EosGroupDirectory::groupRead, this, &EosGroupRecorder::groupRead);
}

EosGroupRecorder::~EosGroupRecorder() = default;

void EosGroupRecorder::enter(State next, Report report) {
    m_state = std::move(next);
    if (report == m_report)
        return;
    m_report = std::move(report);
    emit reportChanged();
}

void EosGroupRecorder::record(const QString& number, const QStringList& channels, const QString& channelList) {
    if (!isValidGroupNumber(number) || channels.isEmpty())
        return;
    Request request{number, channels, channelList};
    if (!m_link.connectionTarget()) {
        enter(Idle{}, {Report::Tone::bad, tr("Not recorded: no console connected")});
        return;
    }
    if (m_link.sendsAtOnce()) {
        send(std::move(request));
        return;
    }
    auto timeout = m_clock->startOnce(this, m_timing.waitForDesk, [this] {
        enter(Idle{}, {Report::Tone::bad, tr("Not recorded: the desk did not answer within %1 s")
                                              .arg(std::chrono::duration_cast<std::chrono::seconds>(
                                                       m_timing.waitForDesk)
                                                       .count())});
    });
    const QString waiting = tr("Waiting for the desk to record group %1…").arg(number);
    enter(Waiting{std::move(request), std::move(timeout)}, {Report::Tone::pending, waiting});
}

void EosGroupRecorder::linkChanged() {
    auto* waiting = std::get_if<Waiting>(&m_state);
    if (!waiting)
        return;
    if (!m_link.connectionTarget()) {
        enter(Idle{}, {Report::Tone::bad, tr("Not recorded: no console connected")});
        return;
    }
    if (m_link.sendsAtOnce()) {
        Request request = std::move(waiting->request);
        send(std::move(request));
    }
}

void EosGroupRecorder::send(Request request) {
    for (const EosCommand& command : {selectChannelsCommandLine(request.channels),
                                      recordGroupCommandLine(request.number),
                                      groupChannelsCommand(request.number, request.channelList)})
        m_link.send(command.address, command.argument);
    // The desk records in the order the messages came; the question comes after them.
    m_link.groups().reread(request.number);
    const QString text = tr("Recording group %1…").arg(request.number);
    enter(Confirming{std::move(request)}, {Report::Tone::pending, text});
}

void EosGroupRecorder::groupRead(const QString& number, bool found) {
    auto* confirming = std::get_if<Confirming>(&m_state);
    if (!confirming || EosGroupReply::canonicalNumber(confirming->request.number) != number)
        return;
    const Request request = std::move(confirming->request);
    if (!found) {
        enter(Idle{}, {Report::Tone::bad, tr("Sent; the desk did not answer for group %1").arg(request.number)});
        return;
    }
    std::vector<int> sent;
    bool whole = true;
    for (const QString& channel : request.channels) {
        bool ok = false;
        sent.push_back(channel.toInt(&ok));
        whole = whole && ok;
    }
    const EosGroup* kept = m_link.groups().find(number);
    if (kept && whole && kept->channels == sent) {
        enter(Idle{}, {Report::Tone::good, tr("Group %1 recorded: %2")
                                               .arg(request.number, channelCount(request.channels.size()))});
        return;
    }
    enter(Idle{}, {Report::Tone::bad, tr("The desk's group %1 holds %2, not the %3 sent")
                                          .arg(request.number, channelRuns(kept ? kept->channels : std::vector<int>{}),
                                               channelCount(request.channels.size()))});
}

} // namespace pexlora
