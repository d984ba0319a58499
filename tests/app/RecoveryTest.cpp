// SPDX-License-Identifier: GPL-3.0-or-later
// Unsaved layouts kept against a crash: a real Pexlora killed after edits is
// offered at the next start and restored as it was; corrupt recovery files are
// reported and kept; saving, reverting and closing remove what is kept.
#include "AppTestSupport.h"
#include "app/document/DocumentHistory.h"
#include "app/document/DocumentRecovery.h"
#include "app/document/RecoveryStore.h"
#include "model/PersistedState.h"
#include "model/PexloraDocument.h"

#include <QDirIterator>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace pexlora {
namespace test {

using namespace Qt::StringLiterals;

namespace {

const char* const roleVariable = "PEXLORA_TEST_ROLE";
const char* const rootVariable = "PEXLORA_TEST_RECOVERY_ROOT";
const char* const layoutVariable = "PEXLORA_TEST_LAYOUT";
const char* const expectedVariable = "PEXLORA_TEST_EXPECTED";
// Names as the store makes them: a process's folder and a layout's key.
const QString goneFolder = u"0b3c8f2e-8a44-4c3e-9d1f-5a6b7c8d9e0f"_s;
const QString key = u"6f1e2d3c-4b5a-4978-8a6b-5c4d3e2f1a0b"_s;

QStringList recoveryFiles(const QString& root) {
    QStringList found;
    QDirIterator it(root, {u"*.pexlora"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (!path.contains(u"/kept/"_s))
            found.append(path);
    }
    return found;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

PersistedState decoded(const QByteArray& bytes) {
    auto state = decodePersistedState(bytes);
    EXPECT_TRUE(state.ok());
    return state ? state.value() : PersistedState{};
}

} // namespace

bool isEditingInstance() {
    return qgetenv(roleVariable) == "editing-instance";
}

// Pexlora as the user has it, on one layout, edited and then left running until
// it is killed; the layout as it stood is written to the expected file.
int runEditingInstance() {
    TestConsoleLink link;
    PexloraApp app;
    app.setEosConnectionConfig(link.config());
    const QString root = qEnvironmentVariable(rootVariable);
    app.setRecoveryFolder(root);
    app.start({qEnvironmentVariable(layoutVariable)});
    if (app.windows().size() != 1)
        return 1;
    GridViewModel* model = app.windows().front()->viewModel();
    const GridPosition line[] = {{4, 4}, {5, 4}, {6, 4}};
    model->placeElements(line);
    model->beginRenumber(model->elements().front().id);
    model->setEditingElementText(u"101"_s);
    model->commitRenumber();
    model->setZoomScale(2);
    QFile expected(qEnvironmentVariable(expectedVariable));
    if (!expected.open(QIODevice::WriteOnly) ||
        expected.write(encodePersistedState(model->persistedState())) < 0)
        return 1;
    expected.close();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (recoveryFiles(root).isEmpty())
            return;
        poll.stop();
        std::puts("ready");
        std::fflush(stdout);
    });
    poll.start(20);
    return QApplication::exec();
}

namespace {

class Recovery : public ::testing::Test {
protected:
    QString savedRig() {
        PexloraDocument document;
        const GridPosition cells[] = {{0, 0}, {1, 0}, {3, 2}};
        document.viewModel()->placeElements(cells);
        const QString path = files.filePath(u"rig.pexlora"_s);
        EXPECT_TRUE(document.save(path).ok());
        return path;
    }
    // Started as the program starts, with these answers to the recovery question.
    std::unique_ptr<AppFixture> startedApp(std::deque<bool> restoreAnswers = {}) {
        auto fixture = std::make_unique<AppFixture>();
        fixture->scripted->restoreAnswers = std::move(restoreAnswers);
        fixture->app->setRecoveryFolder(root.path());
        fixture->app->start({});
        return fixture;
    }

    QTemporaryDir root;
    QTemporaryDir files;
};

TEST_F(Recovery, AKilledPexloraIsOfferedAtTheNextStartAndRestoredAsItWas) {
    const QString rig = savedRig();
    const QByteArray saved = contents(rig);
    const QString expected = files.filePath(u"expected.pexlora"_s);
    QProcess editing;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(roleVariable), u"editing-instance"_s);
    environment.insert(QString::fromLatin1(rootVariable), root.path());
    environment.insert(QString::fromLatin1(layoutVariable), rig);
    environment.insert(QString::fromLatin1(expectedVariable), expected);
    editing.setProcessEnvironment(environment);
    editing.setProcessChannelMode(QProcess::SeparateChannels);
    editing.start(QCoreApplication::applicationFilePath(), {});
    ASSERT_TRUE(editing.waitForStarted(10000));
    // Written within the recovery delay of the last edit.
    ASSERT_TRUE(editing.waitForReadyRead(60000)) << editing.readAllStandardError().toStdString();
    ASSERT_EQ(editing.readLine().trimmed(), "ready");

    // Its layouts are its own while it runs.
    EXPECT_TRUE(startedApp({true})->scripted->askedToRestore.isEmpty());
    editing.kill(); // SIGKILL: nothing of its own runs any more
    ASSERT_TRUE(editing.waitForFinished(10000));
    EXPECT_EQ(contents(rig), saved);

    auto next = startedApp({true});
    EXPECT_EQ(next->scripted->askedToRestore, QStringList{u"rig"_s});
    ASSERT_EQ(next->app->windows().size(), 1);
    DocumentWindow* window = next->app->windows().front();
    EXPECT_EQ(window->filePath(), rig);
    EXPECT_TRUE(window->isWindowModified());
    const PersistedState before = decoded(contents(expected));
    EXPECT_EQ(window->viewModel()->persistedState(), before);
    // Kept again, by this process now, until it is saved.
    EXPECT_EQ(recoveryFiles(root.path()).size(), 1);

    EXPECT_TRUE(window->save());
    EXPECT_EQ(decoded(contents(rig)), before);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_TRUE(recoveryFiles(root.path()).isEmpty());
}

TEST_F(Recovery, ACorruptRecoveryFileIsReportedAndKeptAside) {
    const QString folder = QDir(root.path()).filePath(goneFolder);
    QDir().mkpath(folder);
    const QByteArray garbage = "bplist00 not a layout";
    {
        QFile layout(QDir(folder).filePath(key + u".pexlora"_s));
        ASSERT_TRUE(layout.open(QIODevice::WriteOnly));
        layout.write(garbage);
        QFile note(QDir(folder).filePath(key + u".json"_s));
        ASSERT_TRUE(note.open(QIODevice::WriteOnly));
        note.write(R"({"path": "/nowhere/rig.pexlora", "name": "rig.pexlora"})");
    }
    {
        auto started = startedApp({true});
        // Nothing to restore: no question, but a message saying where the file went.
        EXPECT_TRUE(started->scripted->askedToRestore.isEmpty());
        ASSERT_EQ(started->scripted->errors.size(), 1u);
        const auto& error = started->scripted->errors.front();
        EXPECT_EQ(error.text, u"The unsaved changes of “rig” could not be recovered."_s);
        const QString kept = QDir(root.path()).filePath(u"kept/"_s + key + u".pexlora"_s);
        EXPECT_TRUE(error.reason.endsWith(u"The recovery file is kept as %1."_s.arg(kept)))
            << error.reason.toStdString();
        EXPECT_EQ(contents(kept), garbage);
        EXPECT_FALSE(QFileInfo::exists(folder));
    }
    auto again = startedApp({true});
    EXPECT_TRUE(again->scripted->errors.empty());
    EXPECT_TRUE(again->scripted->askedToRestore.isEmpty());
}

// What the open windows keep goes when it is no longer needed: saved, reverted,
// or closed without saving; and Discard at start throws a leftover away.
TEST_F(Recovery, SavingRevertingClosingAndDiscardingRemoveTheKeptLayout) {
    auto fixture = startedApp();
    PexloraApp& app = *fixture->app;
    DocumentWindow* window = app.openDocument(savedRig());
    ASSERT_NE(window, nullptr);
    const auto edit = [&] {
        const GridPosition cell[] = {{9, std::int64_t(window->viewModel()->elements().size())}};
        window->viewModel()->placeElements(cell);
        EXPECT_TRUE(window->recovery()->isWritePending());
        window->recovery()->writeNow();
        EXPECT_EQ(recoveryFiles(root.path()).size(), 1);
    };
    edit();
    ASSERT_TRUE(window->save());
    EXPECT_TRUE(recoveryFiles(root.path()).isEmpty());
    EXPECT_FALSE(window->recovery()->isWritePending());

    edit();
    fixture->scripted->revertAnswers.push_back(true);
    ASSERT_TRUE(window->revertToSaved());
    EXPECT_TRUE(recoveryFiles(root.path()).isEmpty());

    edit();
    fixture->scripted->saveChangesAnswers.push_back(DocumentDialogs::SaveAnswer::discard);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(fixture->scripted->askedToSave.size(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(recoveryFiles(root.path()).isEmpty());

    // A leftover of a process that is gone, thrown away at the question.
    const QString gone = QDir(root.path()).filePath(goneFolder);
    QDir().mkpath(gone);
    ASSERT_TRUE(QFile::copy(files.filePath(u"rig.pexlora"_s), QDir(gone).filePath(key + u".pexlora"_s)));
    auto next = startedApp({false});
    EXPECT_EQ(next->scripted->askedToRestore, QStringList{u"Untitled"_s});
    ASSERT_EQ(next->app->windows().size(), 1);
    EXPECT_TRUE(next->app->windows().front()->filePath().isEmpty());
    EXPECT_FALSE(next->app->windows().front()->isWindowModified());
    EXPECT_TRUE(recoveryFiles(root.path()).isEmpty());
}

// The store keeps to what it made: a symlink planted in its folder, to a folder of
// the user's layouts, is neither offered nor emptied, and so are files of other names.
TEST_F(Recovery, OnlyItsOwnFoldersAndFilesAreOfferedOrRemoved) {
    QTemporaryDir userFolder;
    const QString userLayout = userFolder.filePath(key + u".pexlora"_s);
    const QString userNote = userFolder.filePath(u"settings.json"_s);
    ASSERT_TRUE(QFile::copy(savedRig(), userLayout));
    ASSERT_TRUE(QFile::copy(savedRig(), userNote));
    ASSERT_TRUE(QFile::link(userFolder.path(), QDir(root.path()).filePath(goneFolder)));
    const QString strange = QDir(root.path()).filePath(u"not-a-store-folder"_s);
    QDir().mkpath(strange);
    ASSERT_TRUE(QFile::copy(savedRig(), QDir(strange).filePath(key + u".pexlora"_s)));

    auto started = startedApp({true});
    EXPECT_TRUE(started->scripted->askedToRestore.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(userLayout));
    EXPECT_TRUE(QFileInfo::exists(userNote));
    EXPECT_TRUE(QFileInfo::exists(QDir(strange).filePath(key + u".pexlora"_s)));
}

// Unsaved layouts and the paths in their notes are for the user's eyes only.
TEST_F(Recovery, KeptLayoutsAreReadableByTheUserAlone) {
    const mode_t oldMask = ::umask(022);
    auto fixture = startedApp();
    DocumentWindow* window = fixture->app->openDocument(savedRig());
    ASSERT_NE(window, nullptr);
    const GridPosition cell[] = {{9, 9}};
    window->viewModel()->placeElements(cell);
    window->recovery()->writeNow();
    ::umask(oldMask);
    const QStringList kept = recoveryFiles(root.path());
    ASSERT_EQ(kept.size(), 1);
    const QFileInfo layout(kept.front());
    const auto mode = [](const QString& path) {
        struct stat status {};
        EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &status), 0) << path.toStdString();
        return status.st_mode & 0777;
    };
    EXPECT_EQ(mode(layout.filePath()), 0600u);
    EXPECT_EQ(mode(layout.dir().filePath(layout.completeBaseName() + u".json"_s)), 0600u);
    EXPECT_EQ(mode(layout.absolutePath()), 0700u);
    EXPECT_EQ(mode(root.path()), 0700u);
    window->history()->clear();
}

// The question as the desktop shows it: Restore is what Return does.
TEST(RecoveryQuestion, NamesTheLayoutAndRestoresByDefault) {
    const auto box = StandardDocumentDialogs::restoreQuestion(nullptr, u"rig"_s);
    EXPECT_EQ(box->text(), u"Pexlora quit while “rig” had unsaved changes."_s);
    QStringList buttons;
    for (QAbstractButton* button : box->buttons())
        buttons.append(button->text());
    EXPECT_EQ(buttons, (QStringList{u"Restore"_s, u"Discard"_s}));
    ASSERT_NE(box->defaultButton(), nullptr);
    EXPECT_EQ(box->defaultButton()->text(), u"Restore"_s);
}

} // namespace
} // namespace test
} // namespace pexlora
