// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/console/EosConsolePopover.h"
#include "app/console/EosStatusBarView.h"
#include "app/console/EosStatusButton.h"
#include "app/document/DocumentDialogs.h"
#include "app/document/DocumentHistory.h"
#include "app/document/DocumentSession.h"
#include "app/shell/PexloraApp.h"
#include "app/window/DocumentWindow.h"
#include "app/window/DocumentWindowHost.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosTestSupport.h"
#include "model/GridViewModel.h"
#include "model/PexloraDocument.h"

#include <QApplication>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace pexlora::test {

// Every question a document window puts answered from a script, and every
// message kept, so that no test waits for a box to appear. Questions nobody
// scripted are cancelled.
class ScriptedDialogs : public DocumentDialogs {
public:
    struct Error {
        QString text;
        QString reason;
        bool waitedFor = true; // shown by showError rather than openError
    };

    std::deque<SaveAnswer> saveChangesAnswers;
    std::deque<bool> revertAnswers;
    std::deque<bool> replaceAnswers;
    std::deque<bool> restoreAnswers;
    std::deque<QStringList> openAnswers;
    std::deque<QString> saveAnswers;
    // The names of the documents asked about, in order.
    QStringList askedToSave;
    QStringList askedToRevert;
    QStringList askedToReplace;
    QStringList askedToRestore;
    std::vector<Error> errors;
    // Boxes that do not wait are closed at once, as if the user had, unless they are
    // held open; then closing them is up to the test.
    bool holdBoxesOpen = false;
    std::vector<std::function<void()>> closeHeldBox;
    std::deque<ChangedFileAnswer> changedFileAnswers;
    QStringList askedAboutChangedFile;
    // One call a reload offered and not yet taken; the test calls it to take it.
    std::vector<std::function<void()>> reloadOffers;
    int savePickerCalls = 0;
    // In channel order unless a test says otherwise; nothing is a cancel.
    std::deque<std::optional<PatchArrangement>> arrangementAnswers;

    std::optional<PatchArrangement> choosePatchArrangement(QWidget*) override {
        return next(arrangementAnswers, std::optional<PatchArrangement>(PatchArrangement{}));
    }

    SaveAnswer askToSaveChanges(QWidget*, const QString& documentName) override {
        askedToSave.append(documentName);
        return next(saveChangesAnswers, SaveAnswer::cancel);
    }
    bool confirmRevert(QWidget*, const QString& documentName) override {
        askedToRevert.append(documentName);
        return next(revertAnswers, false);
    }
    QStringList choosePathsToOpen(QWidget*, const QString&) override { return next(openAnswers, {}); }
    QString chooseSavePath(QWidget*, const QString&) override {
        ++savePickerCalls;
        return next(saveAnswers, {});
    }
    bool confirmReplace(QWidget*, const QString& path) override {
        askedToReplace.append(path);
        return next(replaceAnswers, false);
    }
    // Unscripted, a layout left by a crash is discarded, so that no test restores one by chance.
    bool askToRestore(QWidget*, const QString& documentName) override {
        askedToRestore.append(documentName);
        return next(restoreAnswers, false);
    }
    void showError(QWidget*, const QString& text, const QString& reason) override {
        errors.push_back({text, reason, true});
    }
    ChangedFileAnswer askAboutChangedFile(QWidget*, const QString& documentName) override {
        askedAboutChangedFile.append(documentName);
        return next(changedFileAnswers, ChangedFileAnswer::cancel);
    }
    void offerReload(QWidget*, const QString&, std::function<void()> reload) override {
        reloadOffers.push_back(std::move(reload));
    }
    void openError(QWidget*, const QString& text, const QString& reason,
                   std::function<void()> closed) override {
        errors.push_back({text, reason, false});
        if (!closed)
            return;
        if (holdBoxesOpen)
            closeHeldBox.push_back(std::move(closed));
        else
            closed();
    }

private:
    template <typename T> static T next(std::deque<T>& answers, T otherwise) {
        if (answers.empty())
            return otherwise;
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

// A tooltip as Qt shows it: read as markup when it looks like markup.
inline QString tooltipAsShown(const QString& toolTip) {
    if (!Qt::mightBeRichText(toolTip))
        return toolTip;
    QTextDocument document;
    document.setHtml(toolTip);
    return document.toPlainText();
}

// The program around a window, for tests of the window alone: scripted questions, recent
// files in memory, and no console link.
class FakeHost : public DocumentWindowHost {
public:
    ScriptedDialogs scripted;
    QStringList recent;
    QStringList calls; // the commands that are not the window's own, in order

    DocumentDialogs& dialogs() override { return scripted; }
    EosConnectionManager* consoleLink() override { return nullptr; }
    LiveLevelsSource* liveLevels() override { return nullptr; }
    QStringList recentPaths() override { return recent; }
    void addRecentPath(const QString& path) override {
        recent.removeAll(path);
        recent.prepend(path);
    }
    void clearRecentPaths() override { recent.clear(); }
    DocumentWindow* otherWindowFor(const QString&, const DocumentWindow*) override { return nullptr; }
    void windowClosed(DocumentWindow*) override { calls.append(QStringLiteral("closed")); }
    DocumentWindow* newDocument() override { return note("new"); }
    DocumentWindow* openDocument(const QString&, QWidget*) override { return note("open"); }
    void chooseAndOpen(QWidget*) override { note("choose"); }
    ConsolePatchImport* newLayoutFromConsolePatch(QWidget*) override {
        note("patch");
        return nullptr;
    }
    void openHelp() override { note("help"); }
    void openConsoleTraffic() override { note("traffic"); }
    bool quit() override { return note("quit"), true; }

    // A window of a new document on this host, deleted with the test.
    std::unique_ptr<DocumentWindow> window(std::unique_ptr<PexloraDocument> document = nullptr,
                                           const QString& path = {}) {
        if (!document)
            document = std::make_unique<PexloraDocument>();
        auto window = std::make_unique<DocumentWindow>(
            *this, std::make_unique<DocumentSession>(std::move(document), path, QStringLiteral("Untitled"),
                                                     nullptr));
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        return window;
    }

private:
    DocumentWindow* note(const char* call) {
        calls.append(QString::fromLatin1(call));
        return nullptr;
    }
};

// As a user connects to `simulator` on loopback: the console popover of `status`,
// its two fields and Return; then until the console answers. The popover stays open.
inline void connectAsAUser(EosStatusBarView* status, EosConnectionManager& manager,
                           const Simulator& simulator) {
    QTest::mouseClick(status->statusButton(), Qt::LeftButton);
    EosConsolePopover* console = status->consolePanel();
    ASSERT_NE(console, nullptr);
    QTest::keyClicks(console->addressField(), QStringLiteral("127.0.0.1"));
    QTest::keyClicks(console->portField(), QString::number(simulator.tcpPort));
    QTest::keyClick(console->portField(), Qt::Key_Return);
    ASSERT_TRUE(
        waitFor([&] { return manager.health() == EosConsoleHealth::answering; }, std::chrono::seconds(15)))
        << simulator.child->lines().join(u'\n').toStdString();
}

// What the console link of a test is made with: settings in a file of their own,
// discovery that asks only a UDP socket of the test on loopback, and fake clocks,
// so that nothing reaches the user's settings or leaves the machine.
struct TestConsoleLink {
    QTemporaryDir settingsDir;
    std::shared_ptr<FakeClock> linkClock = std::make_shared<FakeClock>();
    std::shared_ptr<FakeClock> discoveryClock = std::make_shared<FakeClock>();
    UDPPeer discoveryConsole; // where discovery requests go

    QString settingsPath() const { return settingsDir.filePath(QStringLiteral("Pexlora.conf")); }
    EosConnectionConfig config(std::uint16_t broadcastPort = 0) const {
        EosConnectionConfig config;
        config.clock = linkClock;
        config.discovery.clock = discoveryClock;
        config.discovery.listenPort = 0;
        config.discovery.broadcastPort = broadcastPort != 0 ? broadcastPort : discoveryConsole.port();
        config.discovery.destinations = [] { return std::vector<QString>{QStringLiteral("127.0.0.1")}; };
        config.settings = std::make_unique<QSettings>(settingsPath(), QSettings::IniFormat);
        return config;
    }
};

// An application with scripted file pickers and a console link of the test's own;
// every window still open at the end is closed without questions.
class AppFixture {
public:
    explicit AppFixture(std::uint16_t discoveryPort = 0) {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        scripted = dialogs.get();
        app = std::make_unique<PexloraApp>(std::move(dialogs));
        app->setEosConnectionConfig(link.config(discoveryPort));
        app->setSacnOptions({0});
        app->setUrlOpener([this](const QUrl& url, const std::function<void(bool)>& done) {
            openedUrls.append(url);
            done(true);
        });
    }
    ~AppFixture() {
        for (const QPointer<DocumentWindow>& window : app->windows())
            if (window) {
                window->history()->clear();
                window->close();
            }
        app.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TestConsoleLink link;
    ScriptedDialogs* scripted = nullptr;
    std::unique_ptr<PexloraApp> app;
    QList<QUrl> openedUrls;
};

} // namespace pexlora::test
