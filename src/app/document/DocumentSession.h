// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace pexlora {

class DocumentFileWatch;
class DocumentHistory;
class DocumentRecovery;
class GridViewModel;
class PexloraDocument;
class RecoveryStore;

// One open document, apart from any window: the layout, where it is stored, its undo
// history and with it whether there are unsaved changes, the copy kept against a crash,
// and the watch on its file. A window shows one; it holds no widget.
class DocumentSession : public QObject {
    Q_OBJECT

public:
    // `path` is empty for a new document, which is then called `untitledName`. Without a
    // `recoveryStore` nothing is kept against a crash.
    DocumentSession(std::unique_ptr<PexloraDocument> document, QString path, QString untitledName,
                    std::shared_ptr<RecoveryStore> recoveryStore);
    ~DocumentSession() override;

    PexloraDocument* document() const { return m_document.get(); }
    GridViewModel* viewModel() const;
    DocumentHistory* history() const { return m_history.get(); }
    // Null without a recovery store.
    DocumentRecovery* recovery() const { return m_recovery.get(); }
    DocumentFileWatch* fileWatch() const { return m_fileWatch.get(); }

    // Where the document is stored; empty until a new one is first saved.
    const QString& filePath() const { return m_path; }
    // After a Save As: the document is stored there from now on.
    void setFilePath(const QString& path);
    // The name in the title bar and in questions about this document.
    QString displayName() const;

signals:
    void filePathChanged();

private:
    // In this order: each may need the ones before it while it goes.
    std::unique_ptr<PexloraDocument> m_document;
    std::unique_ptr<DocumentHistory> m_history;
    QString m_path;
    QString m_untitledName;
    std::unique_ptr<DocumentRecovery> m_recovery;
    std::unique_ptr<DocumentFileWatch> m_fileWatch;
};

} // namespace pexlora
