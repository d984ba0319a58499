#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>

namespace pexlora {

class DocumentWindow;
class RecoveryStore;

// Keeps the layout of one window in the recovery store while it has unsaved
// changes: written at most `writeDelay` after each change, and removed when the
// layout is saved, reverted or the window closes.
class DocumentRecovery : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds writeDelay{5000};

    DocumentRecovery(std::shared_ptr<RecoveryStore> store, DocumentWindow& window);
    ~DocumentRecovery() override;

    // Writes at once, for a layout that was just recovered.
    void writeNow();
    bool isWritePending() const { return m_timer.isActive(); }

private:
    void changed();
    void unsavedChangesChanged(bool unsaved);

    std::shared_ptr<RecoveryStore> m_store;
    DocumentWindow& m_window;
    QString m_key;
    QTimer m_timer;
};

} // namespace pexlora
