// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/document/DocumentRecovery.h"

#include "app/document/DocumentHistory.h"
#include "app/document/DocumentSession.h"
#include "app/document/RecoveryStore.h"

#include <QUndoStack>
#include <QUuid>

namespace pexlora {

DocumentRecovery::DocumentRecovery(std::shared_ptr<RecoveryStore> store, DocumentSession& session)
    : m_store(std::move(store))
    , m_session(session)
    , m_key(QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(writeDelay);
    connect(&m_timer, &QTimer::timeout, this, &DocumentRecovery::writeNow);
    DocumentHistory* history = session.history();
    connect(history, &DocumentHistory::unsavedChangesChanged, this, &DocumentRecovery::unsavedChangesChanged);
    connect(history->stack(), &QUndoStack::indexChanged, this, &DocumentRecovery::changed);
    connect(&session, &DocumentSession::filePathChanged, this, &DocumentRecovery::changed);
}

DocumentRecovery::~DocumentRecovery() {
    // Closed, saved or not: nothing of it is to be offered again.
    m_store->remove(m_key);
}

void DocumentRecovery::changed() {
    // Not restarted by later changes, so that steady editing is still written.
    if (m_session.history()->hasUnsavedChanges() && !m_timer.isActive())
        m_timer.start();
}

void DocumentRecovery::unsavedChangesChanged(bool unsaved) {
    if (unsaved) {
        changed();
        return;
    }
    m_timer.stop();
    m_store->remove(m_key);
}

void DocumentRecovery::writeNow() {
    m_timer.stop();
    if (m_session.history()->hasUnsavedChanges())
        m_store->write(m_key, *m_session.document(), m_session.filePath(), m_session.displayName());
}

} // namespace pexlora
