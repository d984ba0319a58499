// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppTestSupport.h"
#include "app/console/RecordGroupButton.h"
#include "app/console/SelectionBarView.h"
#include "app/document/DocumentHistory.h"
#include "app/shell/BrowserLauncher.h"
#include "app/shell/HelpPage.h"
#include "app/shell/HelpWindow.h"
#include "app/window/ContentView.h"
#include "app/window/GridToolbarContent.h"
#include "canvas/GridCanvasView.h"
#include "model/PersistedState.h"
#include "model/PexloraDocument.h"
#include "support/FileSizeLimit.h"
#include "support/TestProcess.h"

#include <QAction>
#include <QBoxLayout>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTest>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;
using SaveAnswer = DocumentDialogs::SaveAnswer;
using test::ScriptedDialogs;

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QAction* action(QWidget* window, const char* name) {
    auto* found = window->findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Windows on their own: a host of the test's, and no console link.
class WindowsAlone : public ::testing::Test {
protected:
    // A saved rig of three cells at zoom 1.5, panned, as a file in the scratch folder.
    QString savedRig(const QString& name = u"rig.pexlora"_s) {
        PexloraDocument document;
        GridViewModel* model = document.viewModel();
        const GridPosition cells[] = {{0, 0}, {1, 0}, {3, 2}};
        model->placeElements(cells);
        model->setZoomScale(1.5);
        model->setPanOffset({-20, 8});
        const QString path = dir.filePath(name);
        EXPECT_TRUE(document.save(path).ok());
        return path;
    }
    // A window of the layout stored at `path`, or of a new one.
    DocumentWindow* open(const QString& path = {}) {
        auto document =
            path.isEmpty() ? std::make_unique<PexloraDocument>() : PexloraDocument::open(path).value();
        windows.push_back(host.window(std::move(document), path));
        return windows.back().get();
    }

    QTemporaryDir dir;
    test::FakeHost host;
    std::vector<std::unique_ptr<DocumentWindow>> windows;
};

// Windows of the application, which opens, raises and closes them.
class DocumentWindows : public WindowsAlone {
protected:
    void waitForDeletion() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    test::AppFixture fixture;
    PexloraApp& app = *fixture.app;
};

TEST_F(DocumentWindows, NewWindowHasTheDesignedSizeTitleAndMenus) {
    DocumentWindow* window = app.newDocument();
    EXPECT_EQ(window->size(), QSize(1100, 750));
    window->show();
    window->resize(300, 200);
    EXPECT_GE(window->contentView()->width(), 800) << "the content cannot shrink below its minimum";
    EXPECT_GE(window->contentView()->height(), 600);
    EXPECT_EQ(window->windowTitle(), u"Untitled[*]"_s);
    EXPECT_EQ(app.newDocument()->windowTitle(), u"Untitled 2[*]"_s);

    // The keys people press; no two items may share one, or neither would fire.
    const std::pair<const char*, QString> keys[] = {
        {"fileNew", u"Ctrl+N"_s},  {"fileOpen", u"Ctrl+O"_s}, {"fileClose", u"Ctrl+W"_s},
        {"fileSave", u"Ctrl+S"_s}, {"fileQuit", u"Ctrl+Q"_s}, {"helpPexlora", u"Ctrl+Shift+/"_s},
    };

    for (const auto& [name, key] : keys)
        EXPECT_EQ(action(window, name)->shortcut(), QKeySequence(key)) << name;
    QList<QKeySequence> seen;
    for (QAction* menu : window->menuBar()->actions())
        for (QAction* item : menu->menu()->actions()) {
            EXPECT_FALSE(item->text().contains(u"Move To"_s));
            if (item->shortcut().isEmpty())
                continue;
            EXPECT_FALSE(seen.contains(item->shortcut())) << item->text().toStdString();
            seen.append(item->shortcut());
        }
    EXPECT_FALSE(action(window, "fileRevert")->isEnabled()) << "nothing saved to go back to";
    EXPECT_FALSE(action(window, "fileNewFromConsolePatch")->isEnabled()) << "no console answers";
    EXPECT_TRUE(action(window, "viewConsoleSelection")->isChecked());
}

TEST_F(DocumentWindows, EditedMarkFollowsTheEditedWindowOnlyAndClearsOnSave) {
    DocumentWindow* edited = app.newDocument();
    DocumentWindow* other = app.newDocument();
    edited->viewModel()->placeElement({2, 2});
    EXPECT_TRUE(edited->isWindowModified());
    EXPECT_FALSE(other->isWindowModified());

    const QString path = dir.filePath(u"front.pexlora"_s);
    fixture.scripted->saveAnswers.push_back(dir.filePath(u"front"_s)); // the extension is added
    ASSERT_TRUE(edited->save());
    EXPECT_EQ(edited->filePath(), path);
    EXPECT_EQ(edited->windowTitle(), u"front.pexlora[*]"_s);
    EXPECT_FALSE(edited->isWindowModified());
    EXPECT_FALSE(edited->viewModel()->isDirty());
    EXPECT_EQ(app.recentDocuments().paths().value(0), path);

    edited->viewModel()->placeElement({3, 2});
    EXPECT_TRUE(edited->isWindowModified()) << "a later edit marks the window again";
    ASSERT_TRUE(edited->save());
    EXPECT_EQ(fixture.scripted->savePickerCalls, 1) << "a named document saves in place";
    EXPECT_FALSE(edited->isWindowModified());

    // Undoing past the save marks it; redoing back to it clears the mark.
    edited->history()->stack()->undo();
    EXPECT_TRUE(edited->isWindowModified());
    edited->history()->stack()->redo();
    EXPECT_FALSE(edited->isWindowModified());
    EXPECT_FALSE(other->isWindowModified());
}

TEST_F(DocumentWindows, SavedLayoutReopensTheSameAfterClosing) {
    const QString path = savedRig();
    DocumentWindow* window = app.openDocument(path);
    ASSERT_NE(window, nullptr);
    GridViewModel* model = window->viewModel();
    model->setEditSelectedIDs({*model->elementAt({3, 2})});
    model->moveEditSelection(1, 1);
    model->applyQuickRenumber(*model->elementAt({0, 0}));
    model->setZoomScale(0.75);
    const PersistedState before = model->persistedState();
    ASSERT_TRUE(window->save());
    ASSERT_TRUE(window->close());
    waitForDeletion();
    EXPECT_TRUE(app.windows().isEmpty());

    DocumentWindow* reopened = app.openDocument(path);
    ASSERT_NE(reopened, nullptr);
    EXPECT_EQ(reopened->viewModel()->persistedState(), before);
    EXPECT_FALSE(reopened->isWindowModified());
    EXPECT_EQ(reopened->windowTitle(), u"rig.pexlora[*]"_s);
}

TEST_F(DocumentWindows, RevertReadsTheFileAgainAndForgetsTheSteps) {
    const QString path = savedRig();
    DocumentWindow* window = app.openDocument(path);
    ASSERT_NE(window, nullptr);
    const GridElements saved = window->viewModel()->elements();
    window->viewModel()->placeElement({9, 9});
    ASSERT_TRUE(action(window, "fileRevert")->isEnabled());
    fixture.scripted->revertAnswers = {false, true};
    EXPECT_FALSE(window->revertToSaved());
    EXPECT_EQ(window->viewModel()->elements().size(), 4u);
    action(window, "fileRevert")->trigger();
    EXPECT_EQ(fixture.scripted->askedToRevert, (QStringList{u"rig.pexlora"_s, u"rig.pexlora"_s}));
    EXPECT_EQ(window->viewModel()->elements(), saved);
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_FALSE(window->history()->stack()->canUndo());
    EXPECT_FALSE(action(window, "fileRevert")->isEnabled());
}

TEST_F(DocumentWindows, ClosingWithUnsavedChangesAsksSaveDontSaveOrCancel) {
    const QString target = dir.filePath(u"asked.pexlora"_s);
    DocumentWindow* window = app.newDocument();
    window->viewModel()->placeElement({1, 1});
    ScriptedDialogs& dialogs = *fixture.scripted;
    dialogs.saveChangesAnswers = {SaveAnswer::cancel, SaveAnswer::save, SaveAnswer::save,
                                  SaveAnswer::discard};
    EXPECT_FALSE(window->close());
    EXPECT_EQ(dialogs.askedToSave, QStringList{u"Untitled"_s});
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindowModified());
    // Save, but cancel the file picker: the window stays, nothing is written.
    EXPECT_FALSE(window->close());
    EXPECT_EQ(dialogs.savePickerCalls, 1);
    EXPECT_FALSE(QFile::exists(target));
    dialogs.saveAnswers.push_back(target);
    EXPECT_TRUE(window->close());
    waitForDeletion();
    ASSERT_TRUE(QFile::exists(target));
    auto written = PexloraDocument::open(target);
    ASSERT_TRUE(written.ok());
    EXPECT_EQ(written.value()->viewModel()->elements().size(), 1u);

    DocumentWindow* discarded = app.openDocument(target);
    ASSERT_NE(discarded, nullptr);
    discarded->viewModel()->placeElement({5, 5});
    EXPECT_TRUE(discarded->close());
    EXPECT_TRUE(dialogs.saveChangesAnswers.empty()) << "asked once more, and not saved";
    EXPECT_EQ(PexloraDocument::open(target).value()->viewModel()->elements().size(), 1u) << "file untouched";
}

TEST_F(DocumentWindows, QuitStopsAtTheFirstWindowTheUserKeeps) {
    DocumentWindow* clean = app.newDocument();
    DocumentWindow* edited = app.newDocument();
    edited->viewModel()->placeElement({0, 0});
    QPointer<DocumentWindow> cleanWatch(clean);
    fixture.scripted->saveChangesAnswers = {SaveAnswer::cancel};
    EXPECT_FALSE(app.quit());
    EXPECT_EQ(fixture.scripted->askedToSave.size(), 1) << "only the edited window asks";
    waitForDeletion();
    EXPECT_TRUE(cleanWatch.isNull()) << "the clean window closed without a question";
    ASSERT_EQ(app.windows().size(), 1);
    EXPECT_EQ(app.windows().front(), edited);
}

TEST_F(DocumentWindows, CorruptFileShowsWhyItCouldNotBeOpened) {
    const QString path = dir.filePath(u"broken.pexlora"_s);
    writeFile(path, "bplist00 this is not a property list");
    EXPECT_EQ(app.openDocument(path), nullptr);
    ASSERT_EQ(fixture.scripted->errors.size(), 1u);
    EXPECT_EQ(fixture.scripted->errors[0].text, u"The document “broken.pexlora” could not be opened."_s);
    const QString reason =
        decodePersistedState(QByteArray("bplist00 this is not a property list")).error().message;
    ASSERT_FALSE(reason.isEmpty());
    // The reader's clause, as a sentence of its own.
    EXPECT_EQ(fixture.scripted->errors[0].reason, reason.front().toUpper() + reason.mid(1));
    EXPECT_TRUE(app.windows().isEmpty());
}

TEST_F(DocumentWindows, StartWithOnlyUnreadablePathsStillOpensAWindow) {
    app.start({dir.filePath(u"missing.pexlora"_s)});
    EXPECT_EQ(fixture.scripted->errors.size(), 1u);
    ASSERT_EQ(app.windows().size(), 1);
    EXPECT_TRUE(app.windows().front()->filePath().isEmpty());
}

TEST_F(DocumentWindows, OpeningAnOpenFileAgainRaisesItsWindow) {
    const QString path = savedRig();
    app.start({path, path});
    ASSERT_EQ(app.windows().size(), 1);
    DocumentWindow* first = app.windows().front();
    QDir(dir.path()).mkdir(u"sub"_s);
    fixture.scripted->openAnswers.push_back({dir.filePath(u"sub/../rig.pexlora"_s)});
    action(first, "fileOpen")->trigger();
    EXPECT_EQ(app.windows().size(), 1);
    EXPECT_EQ(app.windowFor(path), first);

    // From behind another window, it comes to the front.
    DocumentWindow* other = app.newDocument();
    other->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(other));
    EXPECT_EQ(app.openDocument(path), first);
    EXPECT_TRUE(QTest::qWaitForWindowActive(first));
    EXPECT_EQ(app.windows().size(), 2);
}

using test::FileSizeLimit;

TEST_F(DocumentWindows, FailedSaveSaysWhyKeepsTheMarkAndTheOldFile) {
    const QString path = savedRig();
    const QByteArray before = contents(path);
    DocumentWindow* window = app.openDocument(path);
    ASSERT_NE(window, nullptr);
    std::vector<GridPosition> many;
    for (std::int64_t col = 0; col < 300; ++col)
        many.push_back({col, 5});
    window->viewModel()->placeElements(many);
    {
        const FileSizeLimit limit(4096);
        EXPECT_FALSE(window->save());
    }
    ASSERT_EQ(fixture.scripted->errors.size(), 1u);
    EXPECT_EQ(fixture.scripted->errors[0].text, u"The document “rig.pexlora” could not be saved."_s);
    EXPECT_EQ(fixture.scripted->errors[0].reason.toLower(), u"the file could not be saved: file too large"_s);
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(contents(path), before);
}

TEST_F(DocumentWindows, SaveAsOntoAFileOpenInAnotherWindowIsRefused) {
    const QString path = savedRig();
    const QByteArray before = contents(path);
    ASSERT_NE(app.openDocument(path), nullptr);
    DocumentWindow* untitled = app.newDocument();
    fixture.scripted->saveAnswers.push_back(path);
    EXPECT_FALSE(untitled->saveAs());
    EXPECT_EQ(fixture.scripted->errors.size(), 1u);
    EXPECT_EQ(contents(path), before);
}

TEST_F(DocumentWindows, HelpOpensTheBundledPage) {
    DocumentWindow* window = app.newDocument();
    action(window, "helpPexlora")->trigger();
    ASSERT_EQ(fixture.openedUrls.size(), 1);
    const QUrl page = fixture.openedUrls.front();
    ASSERT_TRUE(page.isLocalFile());
    EXPECT_TRUE(contents(page.toLocalFile()).contains("Pexlora Help"));

    // With no browser to start, the page opens in a window of its own, once.
    app.setUrlOpener([](const QUrl&, const std::function<void(bool)>& done) { done(false); });
    for (int press = 0; press < 2; ++press)
        action(window, "helpPexlora")->trigger();
    HelpWindow* help = app.helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(QApplication::topLevelWidgets().count(help), 1);
    EXPECT_EQ(help->browser()->documentTitle(), u"Pexlora Help"_s);
    EXPECT_TRUE(fixture.scripted->errors.empty());
}

TEST_F(WindowsAlone, UndoAndRedoFromTheEditMenu) {
    DocumentWindow* window = open();
    GridViewModel* model = window->viewModel();
    const GridPosition line[] = {{0, 0}, {1, 0}};
    model->placeElements(line);
    QAction* undo = action(window, "editUndo");
    QAction* redo = action(window, "editRedo");
    EXPECT_EQ(undo->text(), u"Undo Add Cells"_s);
    undo->trigger();
    EXPECT_TRUE(model->elements().empty());
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(redo->text(), u"Redo Add Cells"_s);
    redo->trigger();
    EXPECT_EQ(model->elements().size(), 2u);
    EXPECT_TRUE(window->isWindowModified());
}

// The user's own path: cells drawn, dragged and deleted with the mouse and the
// keyboard, then taken back and forth with the menu's shortcuts.
TEST_F(WindowsAlone, MouseEditsUndoAndRedoWithTheShortcuts) {
    DocumentWindow* window = open();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    GridViewModel* model = window->viewModel();
    GridCanvasView* canvas = window->contentView()->canvas();
    const auto at = [&](GridPosition p) { return model->cellRect(p).center().toPoint(); };
    const auto drag = [&](QPoint from, QPoint to) {
        QTest::mousePress(canvas, Qt::LeftButton, {}, from);
        QTest::mouseMove(canvas, (from + to) / 2);
        QTest::mouseMove(canvas, to);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
    };
    std::vector<PersistedState> states{model->persistedState()};

    model->setMode(AppMode::edit);
    model->setEditTool(EditTool::addElement);
    drag(at({1, 1}), at({4, 1}));
    ASSERT_EQ(model->elements().size(), 4u);
    states.push_back(model->persistedState());

    model->setEditTool(EditTool::selectElement);
    QTest::mouseClick(canvas, Qt::LeftButton, {}, at({2, 1}));
    drag(at({2, 1}), at({2, 3}));
    ASSERT_TRUE(model->elementAt({2, 3}).has_value());
    states.push_back(model->persistedState());

    canvas->setFocus();
    QTest::keyClick(canvas, Qt::Key_Delete);
    ASSERT_EQ(model->elements().size(), 3u);
    states.push_back(model->persistedState());

    for (std::size_t step = states.size() - 1; step > 0; --step) {
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(model->persistedState(), states[step - 1]) << "undo to step " << step - 1;
    }
    EXPECT_FALSE(window->isWindowModified());
    for (std::size_t step = 1; step < states.size(); ++step) {
        QTest::keyClick(window, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(model->persistedState(), states[step]) << "redo to step " << step;
    }
    EXPECT_TRUE(window->isWindowModified());
}

TEST_F(DocumentWindows, OpenRecentListsTheNewestFirstAndOpensFromIt) {
    app.recentDocuments().clear();
    const QString first = savedRig(u"first.pexlora"_s);
    const QString second = savedRig(u"second.pexlora"_s);
    ASSERT_NE(app.openDocument(first), nullptr);
    DocumentWindow* window = app.openDocument(second);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->close());
    waitForDeletion();

    DocumentWindow* front = app.windowFor(first);
    QMenu* recent = action(front, "fileOpenRecent")->menu();
    emit recent->aboutToShow();
    QStringList titles;
    for (QAction* item : recent->actions())
        if (!item->isSeparator())
            titles.append(item->text());
    EXPECT_EQ(titles, (QStringList{u"second.pexlora"_s, u"first.pexlora"_s, u"Clear Menu"_s}));
    recent->actions().front()->trigger();
    ASSERT_NE(app.windowFor(second), nullptr) << "reopened from the menu";

    action(front, "fileClearRecent")->trigger();
    EXPECT_TRUE(app.recentDocuments().paths().isEmpty());
    emit recent->aboutToShow();
    EXPECT_FALSE(action(front, "fileClearRecent")->isEnabled());
}

// A settings file may list anything: the menu shows at most ten files, all still
// there, read without going through the rest, and the list is stored cut to them.
TEST_F(DocumentWindows, OpenRecentIsCappedAndDropsFilesThatAreGoneWhenRead) {
    QStringList listed;
    for (int i = 0; i < 300; ++i)
        listed.append(dir.filePath(u"gone %1.pexlora"_s.arg(i)));
    const QString ampersand = savedRig(u"Tom & Jerry.pexlora"_s);
    listed.insert(50, ampersand);
    listed.insert(60, ampersand);
    for (int i = 0; i < RecentDocuments::limit + 2; ++i)
        listed.insert(70 + i, savedRig(u"rig %1.pexlora"_s.arg(i)));
    QSettings().setValue(u"recentDocuments"_s, listed);

    const QStringList shown = app.recentDocuments().paths();
    ASSERT_EQ(shown.size(), RecentDocuments::limit);
    EXPECT_EQ(shown.front(), ampersand);
    EXPECT_EQ(shown.count(ampersand), 1);
    EXPECT_EQ(QSettings().value(u"recentDocuments"_s).toStringList(), shown);

    DocumentWindow* window = app.newDocument();
    QMenu* recent = action(window, "fileOpenRecent")->menu();
    emit recent->aboutToShow();
    EXPECT_EQ(recent->actions().front()->text(), u"Tom && Jerry.pexlora"_s);
    EXPECT_EQ(test::tooltipAsShown(recent->actions().front()->toolTip()), ampersand);
    // Two files of one name are told apart by their folder.
    QDir(dir.path()).mkdir(u"other"_s);
    const QString other = savedRig(u"other/rig 0.pexlora"_s);
    app.recentDocuments().add(other);
    emit recent->aboutToShow();
    EXPECT_EQ(recent->actions().front()->text(), u"rig 0.pexlora — "_s + QFileInfo(other).absolutePath());
    EXPECT_EQ(recent->actions()[2]->text(), u"rig 0.pexlora — "_s + dir.path());
    app.recentDocuments().clear();
}

// Another program's change to an open file is never written over unseen: a layout
// without edits is offered again as the file has it, and one with edits asks at Save.
TEST_F(WindowsAlone, AFileChangedByAnotherProgramIsOfferedAgainAndNotOverwrittenUnseen) {
    const QString path = savedRig();
    DocumentWindow* window = open(path);
    ASSERT_NE(window, nullptr);
    const auto writeElsewhere = [&](std::int64_t cells) {
        PexloraDocument other;
        for (std::int64_t i = 0; i < cells; ++i) {
            const GridPosition cell[] = {{i, 5}};
            other.viewModel()->placeElements(cell);
        }
        EXPECT_TRUE(other.save(path).ok());
    };
    const auto edit = [&] {
        const GridPosition cell[] = {{20, 20}};
        window->viewModel()->placeElements(cell);
    };
    test::ScriptedDialogs& dialogs = host.scripted;

    // Touched but the same: nothing to ask.
    QFile touched(path);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    ASSERT_TRUE(
        touched.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    touched.close();
    edit();
    EXPECT_TRUE(window->save());
    EXPECT_TRUE(dialogs.askedAboutChangedFile.isEmpty());

    writeElsewhere(7);
    ASSERT_TRUE(test::waitFor([&] { return dialogs.reloadOffers.size() == 1; }));
    dialogs.reloadOffers.front()();
    EXPECT_EQ(window->viewModel()->elements().size(), 7u);
    EXPECT_FALSE(window->isWindowModified());

    edit();
    writeElsewhere(2);
    const QByteArray theirs = contents(path);
    dialogs.changedFileAnswers = {DocumentDialogs::ChangedFileAnswer::cancel};
    EXPECT_FALSE(window->save());
    EXPECT_EQ(dialogs.askedAboutChangedFile, QStringList{u"rig.pexlora"_s});
    EXPECT_EQ(contents(path), theirs);
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_EQ(dialogs.reloadOffers.size(), 1u) << "a layout with edits of its own is not offered a reload";

    dialogs.changedFileAnswers = {DocumentDialogs::ChangedFileAnswer::saveOver};
    EXPECT_TRUE(window->save());
    EXPECT_NE(contents(path), theirs);
    EXPECT_TRUE(window->save()) << "its own save is no change by another program";
    EXPECT_EQ(dialogs.askedAboutChangedFile.size(), 2);
}

// A window needs no application: on a host of its own and with no console link it
// still offers every command, each one action for menu, key and button.
TEST_F(WindowsAlone, EveryCommandIsOneActionForMenuKeyAndButton) {
    DocumentWindow* window = open();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    GridViewModel* model = window->viewModel();
    QStringList menus;
    for (QAction* menu : window->menuBar()->actions())
        menus.append(menu->text());
    EXPECT_EQ(menus, (QStringList{u"&File"_s, u"&Edit"_s, u"&View"_s, u"&Console"_s, u"&Help"_s}));
    EXPECT_FALSE(action(window, "fileNewFromConsolePatch")->isEnabled()) << "no console to ask";

    auto* selectionBar = qobject_cast<SelectionBarView*>(window->contentView()->selectionBar());
    ASSERT_NE(selectionBar, nullptr);
    QAction* record = action(window, "consoleRecordGroup");
    EXPECT_EQ(record, selectionBar->recordGroupAction());
    EXPECT_EQ(record->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));
    EXPECT_FALSE(record->isEnabled());
    const GridPosition cells[] = {{0, 0}, {1, 0}};
    model->placeElements(cells);
    model->setMode(AppMode::select);
    model->selectSingle(model->elements().front().id);
    EXPECT_TRUE(record->isEnabled());
    EXPECT_TRUE(selectionBar->recordGroupButton()->isEnabled());
    QTest::keyClick(window, Qt::Key_G, Qt::ControlModifier);
    EXPECT_NE(selectionBar->recGroupPopover(), nullptr) << "the key opens what the button opens";
    QTest::keyClick(selectionBar->recGroupPopover(), Qt::Key_Escape);

    QAction* remove = action(window, "editDelete");
    EXPECT_FALSE(remove->isEnabled()) << "select mode";
    model->setMode(AppMode::edit);
    EXPECT_FALSE(remove->isEnabled()) << "nothing selected";
    for (const GridElement& cell : model->elements())
        model->toggleEditSelection(cell.id);
    ASSERT_TRUE(remove->isEnabled());
    model->setEditTool(EditTool::addElement);
    QTest::keyClick(window->contentView()->canvas(), Qt::Key_Backspace);
    EXPECT_TRUE(model->elements().empty()) << "Backspace too, whatever the tool";
    EXPECT_TRUE(window->isWindowModified());

    action(window, "fileNew")->trigger();
    action(window, "helpPexlora")->trigger();
    EXPECT_EQ(host.calls, (QStringList{u"new"_s, u"help"_s}));
    window->history()->clear();
}

// A 2,000-channel rig shown whole by one key, and the zoom percentage offering the
// same commands as the View menu.
TEST_F(WindowsAlone, ZoomToFitShowsAWholeRigAndThePercentageOffersTheZoomCommands) {
    DocumentWindow* window = open();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    GridViewModel* model = window->viewModel();
    std::vector<GridPosition> rig;
    for (std::int64_t i = 0; i < 2000; ++i)
        rig.push_back({i % 40, i / 40});
    model->placeElements(rig);
    GridCanvasView* canvas = window->contentView()->canvas();
    QTest::keyClick(canvas, Qt::Key_9, Qt::ControlModifier);
    const QRectF shown(QPointF(0, 0), QSizeF(canvas->size()));
    EXPECT_TRUE(shown.contains(model->cellRect({0, 0})));
    EXPECT_TRUE(shown.contains(model->cellRect({39, 49})));
    EXPECT_LT(model->zoomScale(), 1.0);
    QTest::keyClick(canvas, Qt::Key_0, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(model->zoomScale(), 1.0);
    QTest::keyClick(canvas, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(model->zoomScale(), GridCanvasView::zoomStep);

    QMenu* menu = window->toolbarContent()->zoomMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions().size(), 5);
    EXPECT_EQ(menu->actions().front(), action(window, "viewZoomIn"));
    QTest::mouseClick(window->toolbarContent()->zoomText(), Qt::LeftButton);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    window->history()->clear();
}

TEST(ContentView, BarsStandUnderTheCanvasSelectionBarFirst) {
    GridViewModel model;
    ContentView content(&model);
    EXPECT_EQ(content.canvas()->viewModel(), &model);
    auto* status = new QWidget;
    auto* selection = new QWidget;
    content.setStatusBar(status); // the status bar may come first
    content.setSelectionBar(selection);
    auto* stack = static_cast<QBoxLayout*>(content.layout());
    ASSERT_EQ(stack->count(), 3);
    EXPECT_EQ(stack->itemAt(0)->widget(), content.canvas());
    EXPECT_EQ(stack->itemAt(1)->widget(), selection);
    EXPECT_EQ(stack->itemAt(2)->widget(), status);
    EXPECT_EQ(stack->stretch(0), 1) << "the canvas takes the free space";

    QPointer<QWidget> old(selection);
    content.setSelectionBar(new QWidget);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(stack->count(), 3);
    EXPECT_EQ(stack->itemAt(2)->widget(), status);
}

TEST(BrowserLauncher, ToldOpenedOnlyWhenTheOpenerSucceeded) {
    const struct {
        QString opener;
        bool opened;
    } table[] = {{u"/bin/true"_s, true}, {u"/bin/false"_s, false}, {u"/nonexistent/xdg-open"_s, false}};
    for (const auto& row : table) {
        QObject owner;
        std::optional<bool> told;
        BrowserLauncher(row.opener).open(QUrl(u"file:///help.html"_s), &owner, [&](bool opened) { told = opened; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return told.has_value(); })) << row.opener.toStdString();
        EXPECT_EQ(*told, row.opened) << row.opener.toStdString();
    }
}

TEST(HelpPage, IsFoundBesideTheProgramOrInTheInstallationsDataFolder) {
    QTemporaryDir root;
    QDir tree(root.path());
    ASSERT_TRUE(tree.mkpath(u"build"_s) && tree.mkpath(u"prefix/bin"_s) &&
                tree.mkpath(u"prefix/share/pexlora"_s));
    writeFile(tree.filePath(u"build/help.html"_s), "<title>Pexlora Help</title>");
    writeFile(tree.filePath(u"prefix/share/pexlora/help.html"_s), "<title>Pexlora Help</title>");
    EXPECT_EQ(findHelpPage(tree.filePath(u"build"_s)), tree.filePath(u"build/help.html"_s));
    EXPECT_EQ(findHelpPage(tree.filePath(u"prefix/bin"_s)),
              tree.filePath(u"prefix/share/pexlora/help.html"_s));
    EXPECT_EQ(findHelpPage(root.path()), QString());
}

TEST(DemoLayout, IsTheGeneratorsOutputAndOpens) {
    const QString demo = QStringLiteral(PEXLORA_SOURCE_DIR "/examples/demo.pexlora");
    QTemporaryDir dir;
    const QString fresh = dir.filePath(u"demo.pexlora"_s);
    const test::ProcessOutput generated =
        test::runProcess(QString::fromUtf8(PEXLORA_PYTHON3),
                         {QStringLiteral(PEXLORA_SOURCE_DIR "/examples/make-demo.py"), fresh});
    ASSERT_EQ(generated.exitCode, 0) << generated.err.toStdString();
    EXPECT_EQ(contents(fresh), contents(demo)) << "run examples/make-demo.py after changing the rig";

    auto opened = PexloraDocument::open(demo);
    ASSERT_TRUE(opened.ok()) << opened.error().message.toStdString();
    const GridElements& cells = opened.value()->viewModel()->elements();
    EXPECT_EQ(cells.size(), 42u);
    QStringList numbers;
    for (const GridElement& cell : cells)
        numbers.append(cell.numberString);
    for (const char* expected : {"1", "12", "21", "32", "41", "48", "101", "110"})
        EXPECT_TRUE(numbers.contains(QString::fromLatin1(expected))) << expected;
}

} // namespace
} // namespace pexlora

namespace pexlora {
namespace {

// A picker that does not add the extension itself returns the name as typed; the
// file that name stands for is asked about before anything is written.
TEST_F(DocumentWindows, SaveAsOverAFileTypedWithoutItsExtensionAsksFirst) {
    const QString existing = savedRig();
    const QByteArray before = contents(existing);
    DocumentWindow* window = app.newDocument();
    const GridPosition cell[] = {{5, 5}};
    window->viewModel()->placeElements(cell);

    fixture.scripted->saveAnswers.push_back(dir.filePath(u"rig"_s));
    fixture.scripted->replaceAnswers.push_back(false);
    EXPECT_FALSE(window->saveAs());
    EXPECT_EQ(fixture.scripted->askedToReplace, QStringList{existing});
    EXPECT_EQ(contents(existing), before);
    EXPECT_TRUE(window->filePath().isEmpty());
    EXPECT_TRUE(window->isWindowModified());

    fixture.scripted->saveAnswers.push_back(dir.filePath(u"rig"_s));
    fixture.scripted->replaceAnswers.push_back(true);
    EXPECT_TRUE(window->saveAs());
    EXPECT_EQ(fixture.scripted->askedToReplace.size(), 2);
    EXPECT_EQ(window->filePath(), existing);
    EXPECT_NE(contents(existing), before);
}

// Return on a number left as it was changes nothing Undo could take back, so
// the window shows no edit and closes without a question.
TEST_F(WindowsAlone, AnUnchangedRenumberLeavesTheEditedMarkAsItWas) {
    DocumentWindow* window = open(savedRig());
    ASSERT_NE(window, nullptr);
    GridViewModel* model = window->viewModel();
    const GridElement cell = model->elements().front();
    model->beginRenumber(cell.id);
    model->commitRenumber();
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_FALSE(action(window, "editUndo")->isEnabled());
    EXPECT_FALSE(action(window, "fileRevert")->isEnabled());

    model->beginRenumber(cell.id);
    model->setEditingElementText(u"40"_s);
    model->commitRenumber();
    EXPECT_TRUE(window->isWindowModified());
    action(window, "editUndo")->trigger();
    EXPECT_FALSE(window->isWindowModified());
    model->beginRenumber(cell.id);
    model->commitRenumber();
    EXPECT_FALSE(window->isWindowModified());
    // Nothing to lose: no question.
    EXPECT_TRUE(window->close());
}

} // namespace
} // namespace pexlora

namespace pexlora {
namespace {

// A reason that starts with a file name keeps it as written.
TEST(ErrorMessage, KeepsFileNamesAsWritten) {
    const auto box = StandardDocumentDialogs::errorMessage(nullptr, u"The help page could not be opened."_s,
                                                           u"help.html is missing from the installation"_s);
    EXPECT_EQ(box->informativeText(), u"help.html is missing from the installation"_s);
}

TEST(ErrorMessage, AnOpenedErrorReturnsAtOnceAndClosesByItself) {
    QWidget window;
    window.show();
    StandardDocumentDialogs().openError(&window, u"No layout could be made."_s, u"Because."_s, {});
    QPointer<QMessageBox> box = window.findChild<QMessageBox*>();
    ASSERT_TRUE(box) << "it returned with the box open";
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowModality(), Qt::WindowModal);
    EXPECT_EQ(box->informativeText(), u"Because."_s);
    box->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(box.isNull());
}

} // namespace
} // namespace pexlora
