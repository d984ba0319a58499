// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/document/DocumentSession.h"

#include "app/document/DocumentFileWatch.h"
#include "app/document/DocumentHistory.h"
#include "app/document/DocumentRecovery.h"
#include "model/PexloraDocument.h"

#include <QFileInfo>

namespace pexlora {

DocumentSession::DocumentSession(std::unique_ptr<PexloraDocument> document, QString path,
                                 QString untitledName, std::shared_ptr<RecoveryStore> recoveryStore)
    : m_document(std::move(document))
    , m_history(std::make_unique<DocumentHistory>(m_document->viewModel()))
    , m_path(std::move(path))
    , m_untitledName(std::move(untitledName))
    , m_fileWatch(std::make_unique<DocumentFileWatch>()) {
    if (recoveryStore)
        m_recovery = std::make_unique<DocumentRecovery>(std::move(recoveryStore), *this);
    m_fileWatch->track(m_path);
}

DocumentSession::~DocumentSession() = default;

GridViewModel* DocumentSession::viewModel() const {
    return m_document->viewModel();
}

void DocumentSession::setFilePath(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (absolute == m_path)
        return;
    m_path = absolute;
    emit filePathChanged();
}

QString DocumentSession::displayName() const {
    return m_path.isEmpty() ? m_untitledName : QFileInfo(m_path).fileName();
}

} // namespace pexlora
