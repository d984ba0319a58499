// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/LiveLevelsSource.h"

#include "eos/EosConnectionManager.h"
#include "eos/EosPatchDirectory.h"
#include "levels/SacnReceiver.h"

#include <QHostAddress>

namespace pexlora {

LiveLevelsSource::LiveLevelsSource(EosConnectionManager& link, std::unique_ptr<SacnReceiver> receiver,
                                   QObject* parent)
    : QObject(parent)
    , m_link(&link)
    , m_receiver(std::move(receiver)) {
    connect(&link.patch(), &EosPatchDirectory::changed, this, &LiveLevelsSource::follow);
    connect(&link, &EosConnectionManager::connectedIPChanged, this, &LiveLevelsSource::follow);
    connect(m_receiver.get(), &SacnReceiver::levelsChanged, this, &LiveLevelsSource::levelsChanged);
    connect(m_receiver.get(), &SacnReceiver::summaryChanged, this, &LiveLevelsSource::summaryChanged);
    follow();
}

LiveLevelsSource::~LiveLevelsSource() = default;

std::uint16_t LiveLevelsSource::universeOf(int address) {
    return static_cast<std::uint16_t>((address - 1) / 512 + 1);
}

std::optional<float> LiveLevelsSource::level(const EosPatchPart& part) const {
    if (part.intensityAddress <= 0)
        return std::nullopt;
    const auto slotOf = [](int address) { return static_cast<std::size_t>((address - 1) % 512 + 1); };
    const auto coarse = m_receiver->level(universeOf(part.intensityAddress), slotOf(part.intensityAddress));
    if (!coarse)
        return std::nullopt;
    if (!part.intensityIsFine())
        return static_cast<float>(*coarse) / 255.0f;
    // The fine byte may open the next universe; a coarse byte alone still says much.
    const int fineAddress = part.intensityAddress + 1;
    const auto fine = m_receiver->level(universeOf(fineAddress), slotOf(fineAddress)).value_or(0);
    return static_cast<float>(*coarse * 256 + fine) / 65535.0f;
}

QString LiveLevelsSource::summaryText() const {
    const auto summary = m_receiver->summary();
    if (summary.universeCount == 0)
        return {};
    return summary.universeCount == 1
               ? tr("sACN: %1 · 1 universe").arg(summary.sourceName)
               : tr("sACN: %1 · %2 universes").arg(summary.sourceName).arg(summary.universeCount);
}

void LiveLevelsSource::follow() {
    std::set<std::uint16_t> universes;
    if (m_link) {
        for (const auto& [channel, parts] : m_link->patch().channels())
            for (const EosPatchPart& part : parts) {
                if (part.intensityAddress <= 0)
                    continue;
                universes.insert(universeOf(part.intensityAddress));
                if (part.intensityIsFine())
                    universes.insert(universeOf(part.intensityAddress + 1));
            }
    }
    const QString desk = m_link ? m_link->connectedIP().value_or(QString()) : QString();
    if (universes == m_universes && desk == m_desk)
        return;
    m_universes = std::move(universes);
    m_desk = desk;
    QString problem;
    if (m_universes.empty())
        m_receiver->stop();
    else if (!m_receiver->listen(m_universes, QHostAddress(m_desk)))
        problem = m_receiver->lastError();
    if (problem != m_problem) {
        m_problem = problem;
        emit summaryChanged();
    }
}

} // namespace pexlora
