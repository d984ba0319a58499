// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>

namespace pexlora {

class DocumentSession;
class RecoveryStore;

// Keeps the layout of one document in the recovery store while it has unsaved
// changes: written at most `writeDelay` after each change, and removed when the
// layout is saved or reverted, or the document is closed.
class DocumentRecovery : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds writeDelay{5000};

    DocumentRecovery(std::shared_ptr<RecoveryStore> store, DocumentSession& session);
    ~DocumentRecovery() override;

    // Writes at once, for a layout that was just recovered.
    void writeNow();
    bool isWritePending() const { return m_timer.isActive(); }

private:
    void changed();
    void unsavedChangesChanged(bool unsaved);

    std::shared_ptr<RecoveryStore> m_store;
    DocumentSession& m_session;
    QString m_key;
    QTimer m_timer;
};

} // namespace pexlora
