// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/PexloraApp.h"

#include "app/console/ConsolePatchImport.h"
#include "app/console/ConsoleTrafficWindow.h"
#include "app/console/LiveLevelsSource.h"
#include "app/document/DocumentHistory.h"
#include "app/document/DocumentRecovery.h"
#include "app/document/DocumentSession.h"
#include "app/shell/BrowserLauncher.h"
#include "app/shell/HelpPage.h"
#include "app/shell/HelpWindow.h"
#include "app/shell/OpenFailureReport.h"
#include "app/window/DocumentWindow.h"
#include "model/PexloraDocument.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <utility>

namespace pexlora {

namespace {

// Files are told apart by where they really are, links and ".." resolved.
QString identity(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

PexloraApp::PexloraApp(std::unique_ptr<DocumentDialogs> dialogs, QObject* parent)
    : QObject(parent)
    , m_dialogs(std::move(dialogs))
    , m_openFailures(new OpenFailureReport(*m_dialogs, this))
    , m_openUrl([this](const QUrl& url, std::function<void(bool)> done) {
        BrowserLauncher().open(url, this, std::move(done));
    }) {
    QCoreApplication::setOrganizationName(QStringLiteral("Pexlora"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("pexlora.org"));
    QCoreApplication::setApplicationName(QStringLiteral("Pexlora"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Pexlora"));
    // The desktop matches windows to the installed org.pexlora.Pexlora.desktop by this.
    QGuiApplication::setDesktopFileName(identifier.toString());
}

PexloraApp::~PexloraApp() {
    // A window that goes tells windowClosed(), so the list is emptied before deleting.
    const auto windows = std::exchange(m_windows, {});
    for (const QPointer<DocumentWindow>& window : windows)
        delete window.data();
    delete m_helpWindow.data();
    // It records through the console link, which goes after it.
    delete m_trafficWindow.data();
}

EosConnectionManager& PexloraApp::eosManager() {
    if (!m_eosManager)
        m_eosManager = std::make_unique<EosConnectionManager>(std::move(m_eosConfig));
    return *m_eosManager;
}

LiveLevelsSource* PexloraApp::liveLevels() {
    if (!m_liveLevels) {
        EosConnectionManager& link = eosManager();
        m_liveLevels = std::make_unique<LiveLevelsSource>(
            link, std::make_unique<SacnReceiver>(link.clock(), m_sacnOptions));
    }
    return m_liveLevels.get();
}

std::shared_ptr<RecoveryStore> PexloraApp::recoveryStore() {
    if (!m_recovery)
        m_recovery = std::make_shared<RecoveryStore>(m_recoveryFolder);
    return m_recovery;
}

bool PexloraApp::offerRecoveries() {
    RecoveryStore& store = *recoveryStore();
    bool restored = false;
    for (const RecoveryStore::Leftover& leftover : store.takeLeftovers()) {
        QString name = leftover.name.isEmpty() ? tr("Untitled") : leftover.name;
        if (name.endsWith(QLatin1Char('.') + PexloraDocument::fileExtension.toString()))
            name.chop(PexloraDocument::fileExtension.size() + 1);
        auto document = PexloraDocument::open(leftover.layout);
        if (!document) {
            const QString kept = QDir::toNativeSeparators(store.keepAside(leftover));
            m_dialogs->showError(nullptr, tr("The unsaved changes of “%1” could not be recovered.").arg(name),
                                 sentenceFrom(document.error().message) + QStringLiteral("\n\n") +
                                     tr("The recovery file is kept as %1.").arg(kept));
            continue;
        }
        if (m_dialogs->askToRestore(nullptr, name)) {
            // Marked as edited, and where it was stored, so that Save writes where
            // the user expects and closing asks first.
            DocumentWindow* window = present(std::move(document).value(), leftover.originalPath);
            window->history()->markUnsaved();
            window->recovery()->writeNow();
            restored = true;
        }
        store.discard(leftover);
    }
    store.releaseLeftovers();
    return restored;
}

void PexloraApp::start(const QStringList& paths) {
    bool opened = offerRecoveries();
    for (const QString& path : paths)
        opened = openOrNote(path) != nullptr || opened;
    if (!opened)
        newDocument();
    m_openFailures->tell(nullptr);
}

void PexloraApp::openPaths(const QStringList& paths) {
    for (const QString& path : paths)
        openOrNote(path);
    m_openFailures->tell(nullptr);
    if (!paths.isEmpty())
        return;
    for (auto window = m_windows.crbegin(); window != m_windows.crend(); ++window)
        if (*window) {
            (*window)->bringForward();
            return;
        }
    newDocument();
}

DocumentWindow* PexloraApp::newDocument() {
    return present(std::make_unique<PexloraDocument>(), QString());
}

DocumentWindow* PexloraApp::openDocument(const QString& path, QWidget* errorParent) {
    DocumentWindow* window = openOrNote(path);
    m_openFailures->tell(errorParent);
    return window;
}

DocumentWindow* PexloraApp::openOrNote(const QString& path) {
    auto window = read(path);
    if (!window) {
        m_openFailures->add(QFileInfo(path).fileName(), window.error());
        return nullptr;
    }
    return window.value();
}

Result<DocumentWindow*, QString> PexloraApp::read(const QString& path) {
    if (DocumentWindow* open = windowFor(path)) {
        open->bringForward();
        return open;
    }
    auto document = PexloraDocument::open(path);
    if (!document) {
        if (!QFileInfo::exists(path))
            m_recent.remove(path);
        return fail(sentenceFrom(document.error().message));
    }
    m_recent.add(path);
    return present(std::move(document).value(), QFileInfo(path).absoluteFilePath());
}

void PexloraApp::chooseAndOpen(QWidget* parent) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (auto* window = qobject_cast<DocumentWindow*>(parent); window && !window->filePath().isEmpty())
        folder = QFileInfo(window->filePath()).absolutePath();
    for (const QString& path : m_dialogs->choosePathsToOpen(parent, folder))
        openDocument(path, parent);
}

bool PexloraApp::quit() {
    const auto windows = m_windows;
    for (const QPointer<DocumentWindow>& window : windows)
        if (window && !window->close())
            return false;
    QCoreApplication::quit();
    return true;
}

HelpWindow* PexloraApp::helpWindow() const {
    return m_helpWindow;
}

void PexloraApp::openHelp() {
    const QString page = findHelpPage(QCoreApplication::applicationDirPath());
    if (page.isEmpty()) {
        m_dialogs->showError(QApplication::activeWindow(), tr("The help page could not be opened."),
                             tr("help.html is missing from the installation"));
        return;
    }
    m_openUrl(QUrl::fromLocalFile(page), [this, page](bool opened) {
        if (opened)
            return;
        // Where no browser is installed the page is still there to read.
        if (!m_helpWindow)
            m_helpWindow = new HelpWindow(page);
        m_helpWindow->show();
        m_helpWindow->raise();
        m_helpWindow->activateWindow();
    });
}

ConsoleTrafficWindow* PexloraApp::consoleTrafficWindow() const {
    return m_trafficWindow;
}

void PexloraApp::openConsoleTraffic() {
    if (!m_trafficWindow)
        m_trafficWindow = new ConsoleTrafficWindow(eosManager());
    m_trafficWindow->show();
    m_trafficWindow->raise();
    m_trafficWindow->activateWindow();
}

ConsolePatchImport* PexloraApp::newLayoutFromConsolePatch(QWidget* parent) {
    if (m_patchImport)
        return nullptr;
    const auto newLayout = [this] {
        DocumentWindow* window = newDocument();
        return std::pair<QWidget*, GridViewModel*>(window, window->viewModel());
    };
    // Without a console there is nothing to ask about: the import says so at once.
    PatchArrangement arrangement;
    if (eosManager().isConnected()) {
        const auto chosen = m_dialogs->choosePatchArrangement(parent);
        if (!chosen)
            return nullptr;
        arrangement = *chosen;
    }
    m_patchImport = new ConsolePatchImport(eosManager(), *m_dialogs, newLayout, arrangement, this, parent);
    m_patchImport->start();
    return m_patchImport;
}

DocumentWindow* PexloraApp::windowFor(const QString& path) const {
    const QString wanted = identity(path);
    for (const QPointer<DocumentWindow>& window : m_windows)
        if (window && !window->filePath().isEmpty() && identity(window->filePath()) == wanted)
            return window;
    return nullptr;
}

DocumentWindow* PexloraApp::otherWindowFor(const QString& path, const DocumentWindow* asking) {
    DocumentWindow* window = windowFor(path);
    return window != asking ? window : nullptr;
}

void PexloraApp::windowClosed(DocumentWindow* window) {
    m_windows.removeIf([window](const QPointer<DocumentWindow>& w) { return w.isNull() || w == window; });
}

QString PexloraApp::nextUntitledName() {
    ++m_untitledCount;
    return m_untitledCount == 1 ? tr("Untitled") : tr("Untitled %1").arg(m_untitledCount);
}

DocumentWindow* PexloraApp::present(std::unique_ptr<PexloraDocument> document, const QString& path) {
    const QString untitled = path.isEmpty() ? nextUntitledName() : QString();
    auto session = std::make_unique<DocumentSession>(std::move(document), path, untitled, recoveryStore());
    auto* window = new DocumentWindow(*this, std::move(session));
    // A new window stands a little below and right of the one in front, so both show.
    if (QWidget* front = QApplication::activeWindow(); front && qobject_cast<DocumentWindow*>(front))
        window->move(front->pos() + QPoint(28, 28));
    m_windows.append(window);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace pexlora
