#include "app/DocumentWindow.h"

#include "app/ConsoleSelectionFollower.h"
#include "app/ContentView.h"
#include "app/DocumentFileWatch.h"
#include "app/DocumentHistory.h"
#include "app/DocumentRecovery.h"
#include "app/EosStatusBarView.h"
#include "app/GridToolbarContent.h"
#include "app/PexloraApp.h"
#include "app/SelectionBarView.h"
#include "app/WindowMenus.h"
#include "canvas/GridCanvasView.h"
#include "model/GridViewModel.h"
#include "model/PersistedState.h"
#include "model/PexloraDocument.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QToolBar>

namespace pexlora {

DocumentWindow::DocumentWindow(PexloraApp& app, std::unique_ptr<PexloraDocument> document, QString path,
                               QString untitledName)
    : m_app(&app)
    , m_document(std::move(document))
    , m_history(new DocumentHistory(m_document->viewModel(), this))
    , m_recovery(new DocumentRecovery(app.recoveryStore(), *this))
    , m_content(new ContentView(m_document->viewModel(), this))
    , m_toolbar(new GridToolbarContent(m_document->viewModel(), this))
    , m_consoleSelection(
          new ConsoleSelectionFollower(m_document->viewModel(), m_content->canvas(), &app.eosManager(), this))
    , m_fileWatch(new DocumentFileWatch(this))
    , m_path(std::move(path))
    , m_untitledName(std::move(untitledName)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setCentralWidget(m_content);
    EosConnectionManager* eos = &app.eosManager();
    m_content->setSelectionBar(new SelectionBarView(m_document->viewModel(), eos));
    m_content->setStatusBar(new EosStatusBarView(eos));

    auto* toolbar = new QToolBar(tr("Toolbar"), this);
    toolbar->setObjectName(QStringLiteral("documentToolbar"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->toggleViewAction()->setEnabled(false);
    toolbar->addWidget(m_toolbar);
    addToolBar(Qt::TopToolBarArea, toolbar);
    setUnifiedTitleAndToolBarOnMac(true);

    WindowMenus::build(*this, app);
    // The model may call itself dirty after an edit that changed nothing (a number
    // committed as it was); the mark shows only what Undo can take back.
    connect(m_history, &DocumentHistory::unsavedChangesChanged, this, &QWidget::setWindowModified);
    showTitle();
    setWindowModified(m_history->hasUnsavedChanges());
    resize(defaultSize);
    m_content->canvas()->setFocus();
    m_fileWatch->track(m_path);
    connect(m_fileWatch, &DocumentFileWatch::changedOnDisk, this, &DocumentWindow::fileChangedOnDisk);
}

DocumentWindow::~DocumentWindow() {
    if (m_app)
        m_app->forget(this);
    // Everything that shows or records the model goes before the document that
    // owns it, which as a member would otherwise be destroyed first.
    delete m_recovery;
    delete m_history;
    delete m_consoleSelection;
    qDeleteAll(findChildren<QToolBar*>(Qt::FindDirectChildrenOnly));
    delete takeCentralWidget();
}

GridViewModel* DocumentWindow::viewModel() const {
    return m_document->viewModel();
}

QString DocumentWindow::displayName() const {
    return m_path.isEmpty() ? m_untitledName : QFileInfo(m_path).fileName();
}

void DocumentWindow::showTitle() {
    // "[*]" is where the platform puts the edited mark while the window is modified.
    setWindowTitle(displayName() + QStringLiteral("[*]"));
    setWindowFilePath(m_path);
}

void DocumentWindow::bringForward() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

bool DocumentWindow::save() {
    return m_path.isEmpty() ? saveAs() : writeTo(m_path);
}

bool DocumentWindow::saveAs() {
    QString path = m_app->dialogs().chooseSavePath(this, suggestedSavePath());
    if (path.isEmpty())
        return false;
    // The picker asked about replacing the name as it was typed; a name that gains
    // the extension here may stand for another file, which is asked about now.
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QLatin1Char('.') + PexloraDocument::fileExtension.toString();
        if (QFileInfo::exists(path) && !m_app->dialogs().confirmReplace(this, path))
            return false;
    }
    // Two windows writing one file would overwrite each other's layout unseen.
    if (DocumentWindow* other = m_app->windowFor(path); other && other != this) {
        m_app->dialogs().showError(
            this, tr("The document “%1” could not be saved.").arg(QFileInfo(path).fileName()),
            tr("that file is open in another window"));
        return false;
    }
    if (!writeTo(path))
        return false;
    m_path = QFileInfo(path).absoluteFilePath();
    showTitle();
    emit filePathChanged();
    return true;
}

bool DocumentWindow::writeTo(const QString& path) {
    if (path == m_path && m_fileWatch->changedElsewhere()) {
        switch (m_app->dialogs().askAboutChangedFile(this, displayName())) {
        case DocumentDialogs::ChangedFileAnswer::saveOver:
            break;
        case DocumentDialogs::ChangedFileAnswer::saveAs:
            return saveAs();
        case DocumentDialogs::ChangedFileAnswer::cancel:
            return false;
        }
    }
    const auto saved = m_document->save(path);
    if (!saved) {
        // The model stays dirty and the old file stays as it was.
        m_app->dialogs().showError(
            this, tr("The document “%1” could not be saved.").arg(QFileInfo(path).fileName()),
            sentenceFrom(saved.error().message));
        return false;
    }
    m_history->markSaved();
    m_fileWatch->track(QFileInfo(path).absoluteFilePath());
    m_app->recentDocuments().add(path);
    return true;
}

bool DocumentWindow::revertToSaved() {
    if (m_path.isEmpty())
        return false;
    if (m_history->hasUnsavedChanges() && !m_app->dialogs().confirmRevert(this, displayName()))
        return false;
    return readAgain();
}

bool DocumentWindow::readAgain() {
    // Read through the same checks as File ▸ Open; the window keeps its model.
    auto stored = PexloraDocument::open(m_path);
    if (!stored) {
        m_app->dialogs().showError(this, tr("The document “%1” could not be opened.").arg(displayName()),
                                   sentenceFrom(stored.error().message));
        return false;
    }
    const auto restored =
        viewModel()->restore(encodePersistedState(stored.value()->viewModel()->persistedState()));
    if (!restored)
        return false;
    m_history->clear();
    m_fileWatch->track(m_path);
    return true;
}

void DocumentWindow::fileChangedOnDisk() {
    // With edits of its own, the window asks when it is saved instead.
    if (m_history->hasUnsavedChanges())
        return;
    const QPointer<DocumentWindow> self(this);
    m_app->dialogs().offerReload(this, displayName(), [self] {
        if (self)
            self->revertToSaved();
    });
}

QString DocumentWindow::suggestedSavePath() const {
    if (!m_path.isEmpty())
        return m_path;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(folder).filePath(m_untitledName + QLatin1Char('.') +
                                 PexloraDocument::fileExtension.toString());
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (m_history->hasUnsavedChanges()) {
        switch (m_app->dialogs().askToSaveChanges(this, displayName())) {
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
    m_app->forget(this);
    event->accept();
}

} // namespace pexlora
