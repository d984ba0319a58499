// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/ConsoleSelectionFollower.h"

#include "canvas/GridCanvasView.h"
#include "eos/EosConnectionManager.h"
#include "model/GridViewModel.h"

namespace pexlora {

ConsoleSelectionFollower::ConsoleSelectionFollower(GridViewModel* model, GridCanvasView* canvas,
                                                   EosConnectionManager* eosManager, QObject* parent)
    : QObject(parent)
    , m_model(model)
    , m_canvas(canvas) {
    if (m_model) {
        connect(m_model, &GridViewModel::elementsChanged, this, [this] {
            m_index.reset();
            ring();
        });
    }
    if (eosManager) {
        connect(eosManager, &EosConnectionManager::consoleActiveChannelsChanged, this,
                [this, eosManager] { follow(eosManager->consoleActiveChannels()); });
        follow(eosManager->consoleActiveChannels());
    }
}

void ConsoleSelectionFollower::setShown(bool shown) {
    if (shown == m_shown)
        return;
    m_shown = shown;
    ring();
}

void ConsoleSelectionFollower::follow(const QString& activeChannels) {
    if (activeChannels == m_text)
        return;
    m_text = activeChannels;
    m_channels = ConsoleChannelSet::fromActiveChannels(m_text);
    ring();
}

void ConsoleSelectionFollower::ring() {
    if (!m_canvas)
        return;
    QSet<QUuid> ids;
    if (m_shown && m_model && !m_channels.isEmpty()) {
        if (!m_index)
            m_index.emplace(m_model->elements());
        const GridElements& elements = m_model->elements();
        for (const std::size_t i : m_index->cellsIn(m_channels))
            ids.insert(elements[i].id);
    }
    m_canvas->setConsoleSelection(ids);
}

} // namespace pexlora
