// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/document/DocumentDialogs.h"
#include "app/document/RecoveryStore.h"
#include "app/shell/RecentDocuments.h"
#include "app/window/DocumentWindowHost.h"
#include "app/console/LiveLevelsSource.h"
#include "eos/EosConnectionManager.h"
#include "levels/SacnReceiver.h"
#include "util/Result.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringView>
#include <QUrl>
#include <functional>
#include <memory>

namespace pexlora {

class ConsolePatchImport;
class ConsoleTrafficWindow;
class DocumentWindow;
class HelpWindow;
class OpenFailureReport;
class PexloraDocument;

// The application object: it lives for the process, keeps one window per open
// document and the commands that act on all of them (New, Open, Quit, Help). It is
// the host of every window.
class PexloraApp : public QObject, public DocumentWindowHost {
    Q_OBJECT

public:
    static constexpr QStringView identifier = u"org.pexlora.Pexlora";

    // Opens an address and tells, then or later, whether it could.
    using UrlOpener = std::function<void(const QUrl&, std::function<void(bool opened)>)>;

    explicit PexloraApp(
        std::unique_ptr<DocumentDialogs> dialogs = std::make_unique<StandardDocumentDialogs>(),
        QObject* parent = nullptr);
    ~PexloraApp() override;

    // Offers the layouts a Pexlora that quit unexpectedly left unsaved, then opens
    // the documents named on the command line, or one new untitled window when
    // there are none (or none of them could be opened or restored).
    void start(const QStringList& paths);
    // Files handed over by another Pexlora process: each is opened or its window
    // brought forward; with none, the front window comes forward. Those that cannot
    // be opened are told of in one box that does not wait.
    void openPaths(const QStringList& paths);

    // What a window asks of its host; opening tells of failure in a box that does not wait.
    DocumentDialogs& dialogs() override { return *m_dialogs; }
    EosConnectionManager* consoleLink() override { return &eosManager(); }
    LiveLevelsSource* liveLevels() override;
    QStringList recentPaths() override { return m_recent.paths(); }
    void addRecentPath(const QString& path) override { m_recent.add(path); }
    void clearRecentPaths() override { m_recent.clear(); }
    DocumentWindow* otherWindowFor(const QString& path, const DocumentWindow* asking) override;
    void windowClosed(DocumentWindow* window) override;
    DocumentWindow* newDocument() override;
    DocumentWindow* openDocument(const QString& path, QWidget* parent = nullptr) override;
    void chooseAndOpen(QWidget* parent) override;
    ConsolePatchImport* newLayoutFromConsolePatch(QWidget* parent) override;
    void openHelp() override;
    void openConsoleTraffic() override;
    bool quit() override;

    const QList<QPointer<DocumentWindow>>& windows() const { return m_windows; }
    // The open window of that file, if any.
    DocumentWindow* windowFor(const QString& path) const;

    RecentDocuments& recentDocuments() { return m_recent; }
    // How the help page is opened: the desktop's browser, unless a test says otherwise.
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }
    // The help window, while the help page is shown in one.
    HelpWindow* helpWindow() const;
    // The console traffic window, while it is open.
    ConsoleTrafficWindow* consoleTrafficWindow() const;

    // The console link, one per process and shared by every window. It is made the
    // first time a window asks for it, and then connects to the stored console.
    EosConnectionManager& eosManager();
    // What the console link is made with (its settings store, ports and clock);
    // it only counts before the first window asks for the link.
    void setEosConnectionConfig(EosConnectionConfig config) { m_eosConfig = std::move(config); }
    // The console this run connects to in place of the stored one, which stays stored.
    void setStartConsole(EosConsoleAddress address) { m_eosConfig.startConsole = std::move(address); }
    // Where the desk's sACN output is listened for (port 5568 unless a test says otherwise);
    // it only counts before the first window asks for the levels.
    void setSacnOptions(SacnReceiverOptions options) { m_sacnOptions = options; }

    // Where the unsaved layouts of the open windows are kept against a crash.
    std::shared_ptr<RecoveryStore> recoveryStore();
    // Under the user's data folder unless a test says otherwise, before the first window.
    void setRecoveryFolder(QString folder) { m_recoveryFolder = std::move(folder); }

private:
    // Raises or opens the window of `path`; the reason, as a sentence, when it cannot be read.
    Result<DocumentWindow*, QString> read(const QString& path);
    // The same, with a failure kept for the report.
    DocumentWindow* openOrNote(const QString& path);
    DocumentWindow* present(std::unique_ptr<PexloraDocument> document, const QString& path);
    QString nextUntitledName();
    // True when a window was restored.
    bool offerRecoveries();

    std::unique_ptr<DocumentDialogs> m_dialogs;
    OpenFailureReport* m_openFailures;
    EosConnectionConfig m_eosConfig;
    // Destroyed after the windows, which the destructor closes first.
    std::unique_ptr<EosConnectionManager> m_eosManager;
    SacnReceiverOptions m_sacnOptions;
    // Goes before the link whose patch it reads.
    std::unique_ptr<LiveLevelsSource> m_liveLevels;
    RecentDocuments m_recent;
    QString m_recoveryFolder;
    std::shared_ptr<RecoveryStore> m_recovery;
    QList<QPointer<DocumentWindow>> m_windows;
    UrlOpener m_openUrl;
    QPointer<ConsolePatchImport> m_patchImport;
    QPointer<HelpWindow> m_helpWindow;
    QPointer<ConsoleTrafficWindow> m_trafficWindow;
    int m_untitledCount = 0;
};

} // namespace pexlora
