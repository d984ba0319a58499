// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/LiveLevelsFollower.h"

#include "app/console/LiveLevelsSource.h"
#include "canvas/CellLevels.h"
#include "canvas/GridCanvasView.h"
#include "eos/EosPatchDirectory.h"
#include "model/GridViewModel.h"

namespace pexlora {

namespace {

// The channel a cell stands for: its number when it is a whole one.
std::optional<int> channelOf(const GridElement& cell) {
    bool ok = false;
    const int channel = cell.numberString.toInt(&ok);
    return ok && channel > 0 ? std::optional<int>(channel) : std::nullopt;
}

} // namespace

LiveLevelsFollower::LiveLevelsFollower(GridViewModel* model, GridCanvasView* canvas, EosPatchDirectory* patch,
                                       LiveLevelsSource* levels, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_canvas(canvas)
    , m_patch(patch)
    , m_levels(levels) {
    if (m_model)
        connect(m_model, &GridViewModel::elementsChanged, this, &LiveLevelsFollower::rebuild);
    if (m_patch) {
        connect(m_patch, &EosPatchDirectory::changed, this, &LiveLevelsFollower::rebuild);
        connect(m_patch, &EosPatchDirectory::statusChanged, this, &LiveLevelsFollower::rebuild);
    }
    if (m_levels)
        connect(m_levels, &LiveLevelsSource::levelsChanged, this, &LiveLevelsFollower::refresh);
    if (m_canvas)
        m_canvas->setCellToolTip([this](const GridElement& cell) { return toolTip(cell); });
    rebuild();
}

LiveLevelsFollower::~LiveLevelsFollower() {
    // The canvas may outlive this, and must not ask it for a tooltip then.
    if (m_canvas)
        m_canvas->setCellToolTip({});
}

void LiveLevelsFollower::setShown(bool shown) {
    if (shown == m_shown)
        return;
    m_shown = shown;
    rebuild();
}

QString LiveLevelsFollower::levelText(float level) {
    // Rounded as the cell shows it.
    const int percent = levelPercent(level).value_or(0);
    return percent >= 100 ? tr("Full") : tr("%1 %").arg(percent);
}

const std::vector<EosPatchPart>* LiveLevelsFollower::partsOf(const GridElement& cell) const {
    const auto channel = channelOf(cell);
    return channel && m_patch ? m_patch->parts(*channel) : nullptr;
}

QString LiveLevelsFollower::toolTip(const GridElement& cell) const {
    if (!m_patch || m_patch->status() == EosPatchDirectory::Status::off)
        return {};
    const auto* parts = partsOf(cell);
    if (!parts || parts->empty())
        return tr("Channel %1\nNot patched on the console").arg(cell.numberString);
    QStringList lines;
    for (const EosPatchPart& part : *parts) {
        QString head = parts->size() == 1 ? tr("Channel %1").arg(part.channel)
                                          : tr("Channel %1, part %2").arg(part.channel).arg(part.part);
        if (!part.label.isEmpty())
            head += QStringLiteral(" · ") + part.label;
        lines.append(head);
        const QString fixture = QStringList{part.manufacturer, part.model}.join(u' ').trimmed();
        if (!fixture.isEmpty())
            lines.append(fixture);
        lines.append(part.address > 0 ? tr("DMX %1").arg(EosPatchPart::dmxText(part.address))
                                      : tr("Not addressed"));
        if (const auto level = m_levels && m_shown ? m_levels->level(part) : std::nullopt)
            lines.append(tr("Level %1").arg(levelText(*level)));
    }
    return lines.join(u'\n');
}

void LiveLevelsFollower::rebuild() {
    m_targets.clear();
    m_byUniverse.clear();
    QSet<QUuid> unpatched;
    // Known once read, and still while it is read again; not while the first read runs.
    const bool patchKnown = m_patch && (m_patch->status() == EosPatchDirectory::Status::ready ||
                                        (m_patch->status() != EosPatchDirectory::Status::off &&
                                         !m_patch->channels().empty()));
    if (m_model && patchKnown) {
        for (const GridElement& cell : m_model->elements()) {
            const auto* parts = partsOf(cell);
            if (!parts || parts->empty()) {
                unpatched.insert(cell.id);
                continue;
            }
            if (!m_shown || !m_levels)
                continue;
            // A multi-part fixture shows the first part that has an intensity.
            for (const EosPatchPart& part : *parts) {
                if (part.intensityAddress <= 0)
                    continue;
                m_byUniverse[LiveLevelsSource::universeOf(part.intensityAddress)].push_back(m_targets.size());
                if (part.intensityIsFine())
                    m_byUniverse[LiveLevelsSource::universeOf(part.intensityAddress + 1)].push_back(
                        m_targets.size());
                m_targets.push_back({cell.id, part});
                break;
            }
        }
    }
    if (!m_canvas)
        return;
    m_canvas->setUnpatchedCells(unpatched);
    // Everything drawn goes, and comes back with the levels as they are now.
    QSet<QUuid> gone;
    for (auto it = m_drawn.cbegin(); it != m_drawn.cend(); ++it)
        gone.insert(it.key());
    QHash<QUuid, float> levels;
    m_drawn.clear();
    for (const Target& target : m_targets)
        if (const auto level = m_levels->level(target.part)) {
            levels.insert(target.cell, *level);
            m_drawn.insert(target.cell, *level);
            gone.remove(target.cell);
        }
    m_canvas->updateCellLevels(levels, gone);
}

void LiveLevelsFollower::refresh(const std::vector<std::uint16_t>& universes) {
    if (!m_canvas || !m_levels || m_targets.empty())
        return;
    QHash<QUuid, float> changed;
    QSet<QUuid> gone;
    for (const std::uint16_t universe : universes) {
        const auto targets = m_byUniverse.find(universe);
        if (targets == m_byUniverse.end())
            continue;
        for (const std::size_t index : targets->second) {
            const Target& target = m_targets[index];
            const auto level = m_levels->level(target.part);
            const auto drawn = m_drawn.constFind(target.cell);
            if (level) {
                if (drawn != m_drawn.cend() && *drawn == *level)
                    continue;
                m_drawn.insert(target.cell, *level);
                changed.insert(target.cell, *level);
            } else if (drawn != m_drawn.cend()) {
                m_drawn.erase(drawn);
                gone.insert(target.cell);
            }
        }
    }
    if (!changed.isEmpty() || !gone.isEmpty())
        m_canvas->updateCellLevels(changed, gone);
}

} // namespace pexlora
