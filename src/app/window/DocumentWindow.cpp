// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/DocumentWindow.h"

#include "app/console/ConsoleGroupsPanel.h"
#include "app/console/ConsoleSelectionFollower.h"
#include "app/console/EosStatusBarView.h"
#include "app/console/LiveLevelsFollower.h"
#include "app/console/SelectionBarView.h"
#include "app/document/DocumentDialogs.h"
#include "app/document/DocumentFileWatch.h"
#include "app/document/DocumentHistory.h"
#include "app/document/DocumentRecovery.h"
#include "app/document/DocumentSession.h"
#include "app/window/ContentView.h"
#include "app/window/DocumentWindowHost.h"
#include "app/window/GridToolbarContent.h"
#include "app/window/WindowMenus.h"
#include "canvas/GridCanvasView.h"
#include "eos/EosConnectionManager.h"
#include "model/GridViewModel.h"
#include "model/PersistedState.h"
#include "model/PexloraDocument.h"

#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QStandardPaths>
#include <QToolBar>

namespace pexlora {

DocumentWindow::DocumentWindow(DocumentWindowHost& host, std::unique_ptr<DocumentSession> session)
    : m_host(host)
    , m_session(std::move(session))
    , m_content(new ContentView(viewModel(), this))
    , m_toolbar(new GridToolbarContent(viewModel(), this))
    , m_consoleSelection(
          new ConsoleSelectionFollower(viewModel(), m_content->canvas(), host.consoleLink(), this))
    , m_liveLevels(new LiveLevelsFollower(viewModel(), m_content->canvas(),
                                          host.consoleLink() ? &host.consoleLink()->patch() : nullptr,
                                          host.liveLevels(), this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setCentralWidget(m_content);
    EosConnectionManager* eos = host.consoleLink();
    m_content->setSelectionBar(new SelectionBarView(viewModel(), eos));
    m_content->setStatusBar(new EosStatusBarView(eos, host.liveLevels()));

    // The desk's groups, beside the grid when asked for.
    m_groupsDock = new QDockWidget(tr("Console Groups"), this);
    m_groupsDock->setObjectName(QStringLiteral("consoleGroupsDock"));
    m_groupsDock->setWidget(new ConsoleGroupsPanel(eos ? &eos->groups() : nullptr, viewModel(),
                                                   m_content->canvas(), m_groupsDock));
    addDockWidget(Qt::RightDockWidgetArea, m_groupsDock);
    m_groupsDock->hide();

    auto* toolbar = new QToolBar(tr("Toolbar"), this);
    toolbar->setObjectName(QStringLiteral("documentToolbar"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->toggleViewAction()->setEnabled(false);
    toolbar->addWidget(m_toolbar);
    addToolBar(Qt::TopToolBarArea, toolbar);
    setUnifiedTitleAndToolBarOnMac(true);

    WindowMenus::build(*this, host);
    // The model may call itself dirty after an edit that changed nothing (a number
    // committed as it was); the mark shows only what Undo can take back.
    connect(history(), &DocumentHistory::unsavedChangesChanged, this, &QWidget::setWindowModified);
    connect(m_session.get(), &DocumentSession::filePathChanged, this, [this] {
        showTitle();
        emit filePathChanged();
    });
    connect(m_session->fileWatch(), &DocumentFileWatch::changedOnDisk, this,
            &DocumentWindow::fileChangedOnDisk);
    showTitle();
    setWindowModified(history()->hasUnsavedChanges());
    resize(defaultSize);
    m_content->canvas()->setFocus();
}

DocumentWindow::~DocumentWindow() {
    // Every widget of the window shows the session's model, and goes before it: as a
    // member, the session would otherwise go first, before the window's children.
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

PexloraDocument* DocumentWindow::document() const {
    return m_session->document();
}

GridViewModel* DocumentWindow::viewModel() const {
    return m_session->viewModel();
}

DocumentHistory* DocumentWindow::history() const {
    return m_session->history();
}

DocumentRecovery* DocumentWindow::recovery() const {
    return m_session->recovery();
}

const QString& DocumentWindow::filePath() const {
    return m_session->filePath();
}

QString DocumentWindow::displayName() const {
    return m_session->displayName();
}

void DocumentWindow::showTitle() {
    // "[*]" is where the platform puts the edited mark while the window is modified.
    setWindowTitle(displayName() + QStringLiteral("[*]"));
    setWindowFilePath(filePath());
}

void DocumentWindow::bringForward() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

bool DocumentWindow::save() {
    return filePath().isEmpty() ? saveAs() : writeTo(filePath());
}

bool DocumentWindow::saveAs() {
    QString path = m_host.dialogs().chooseSavePath(this, suggestedSavePath());
    if (path.isEmpty())
        return false;
    // The picker asked about replacing the name as it was typed; a name that gains
    // the extension here may stand for another file, which is asked about now.
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QLatin1Char('.') + PexloraDocument::fileExtension.toString();
        if (QFileInfo::exists(path) && !m_host.dialogs().confirmReplace(this, path))
            return false;
    }
    // Two windows writing one file would overwrite each other's layout unseen.
    if (m_host.otherWindowFor(path, this)) {
        m_host.dialogs().showError(
            this, tr("The document “%1” could not be saved.").arg(QFileInfo(path).fileName()),
            tr("that file is open in another window"));
        return false;
    }
    if (!writeTo(path))
        return false;
    m_session->setFilePath(path);
    return true;
}

bool DocumentWindow::writeTo(const QString& path) {
    if (path == filePath() && m_session->fileWatch()->changedElsewhere()) {
        switch (m_host.dialogs().askAboutChangedFile(this, displayName())) {
        case DocumentDialogs::ChangedFileAnswer::saveOver:
            break;
        case DocumentDialogs::ChangedFileAnswer::saveAs:
            return saveAs();
        case DocumentDialogs::ChangedFileAnswer::cancel:
            return false;
        }
    }
    const auto saved = document()->save(path);
    if (!saved) {
        // The model stays dirty and the old file stays as it was.
        m_host.dialogs().showError(
            this, tr("The document “%1” could not be saved.").arg(QFileInfo(path).fileName()),
            sentenceFrom(saved.error().message));
        return false;
    }
    history()->markSaved();
    m_session->fileWatch()->track(QFileInfo(path).absoluteFilePath());
    m_host.addRecentPath(path);
    return true;
}

bool DocumentWindow::revertToSaved() {
    if (filePath().isEmpty())
        return false;
    if (history()->hasUnsavedChanges() && !m_host.dialogs().confirmRevert(this, displayName()))
        return false;
    return readAgain();
}

bool DocumentWindow::readAgain() {
    // Read through the same checks as File ▸ Open; the window keeps its model.
    auto stored = PexloraDocument::open(filePath());
    if (!stored) {
        m_host.dialogs().showError(this, tr("The document “%1” could not be opened.").arg(displayName()),
                                   sentenceFrom(stored.error().message));
        return false;
    }
    const auto restored =
        viewModel()->restore(encodePersistedState(stored.value()->viewModel()->persistedState()));
    if (!restored)
        return false;
    history()->clear();
    m_session->fileWatch()->track(filePath());
    return true;
}

void DocumentWindow::fileChangedOnDisk() {
    // With edits of its own, the window asks when it is saved instead.
    if (history()->hasUnsavedChanges())
        return;
    const QPointer<DocumentWindow> self(this);
    m_host.dialogs().offerReload(this, displayName(), [self] {
        if (self)
            self->revertToSaved();
    });
}

QString DocumentWindow::suggestedSavePath() const {
    if (!filePath().isEmpty())
        return filePath();
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(folder).filePath(displayName() + QLatin1Char('.') +
                                 PexloraDocument::fileExtension.toString());
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (history()->hasUnsavedChanges()) {
        switch (m_host.dialogs().askToSaveChanges(this, displayName())) {
        case DocumentDialogs::SaveAnswer::save:
            if (!save()) {
                event->ignore();
                return;
            }
            break;
        case DocumentDialogs::SaveAnswer::discard:
            break;
        case DocumentDialogs::SaveAnswer::cancel:
            event->ignore();
            return;
        }
    }
    m_host.windowClosed(this);
    event->accept();
}

} // namespace pexlora
