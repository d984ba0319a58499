#include "app/DocumentRecovery.h"

#include "app/DocumentHistory.h"
#include "app/DocumentWindow.h"
#include "app/RecoveryStore.h"

#include <QUndoStack>
#include <QUuid>

namespace pexlora {

DocumentRecovery::DocumentRecovery(std::shared_ptr<RecoveryStore> store, DocumentWindow& window)
    : QObject(&window)
    , m_store(std::move(store))
    , m_window(window)
    , m_key(QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(writeDelay);
    connect(&m_timer, &QTimer::timeout, this, &DocumentRecovery::writeNow);
    DocumentHistory* history = window.history();
    connect(history, &DocumentHistory::unsavedChangesChanged, this, &DocumentRecovery::unsavedChangesChanged);
    connect(history->stack(), &QUndoStack::indexChanged, this, &DocumentRecovery::changed);
    connect(&window, &DocumentWindow::filePathChanged, this, &DocumentRecovery::changed);
}

DocumentRecovery::~DocumentRecovery() {
    // Closed, saved or not: nothing of it is to be offered again.
    m_store->remove(m_key);
}

void DocumentRecovery::changed() {
    // Not restarted by later changes, so that steady editing is still written.
    if (m_window.history()->hasUnsavedChanges() && !m_timer.isActive())
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
    if (m_window.history()->hasUnsavedChanges())
        m_store->write(m_key, *m_window.document(), m_window.filePath(), m_window.displayName());
}

} // namespace pexlora
