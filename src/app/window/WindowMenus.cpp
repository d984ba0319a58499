// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/WindowMenus.h"

#include "app/console/ConsoleSelectionFollower.h"
#include "app/console/LiveLevelsFollower.h"
#include "app/console/EosStatusBarView.h"
#include "app/console/SelectionBarView.h"
#include "app/document/DocumentHistory.h"
#include "app/window/ContentView.h"
#include "app/window/DocumentWindow.h"
#include "app/window/DocumentWindowHost.h"
#include "app/window/GridToolbarContent.h"
#include "canvas/GridCanvasView.h"
#include "eos/EosConnectionManager.h"
#include "model/GridViewModel.h"
#include "widgets/PlainMessage.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QHash>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

namespace pexlora {

namespace {

QAction* addAction(QMenu* menu, const char* name, const QString& text, const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

} // namespace

void WindowMenus::build(DocumentWindow& window, DocumentWindowHost& host) {
    QMenuBar* bar = window.menuBar();
    QPointer<DocumentWindow> self(&window);

    QMenu* file = bar->addMenu(tr("&File"));
    QObject::connect(addAction(file, "fileNew", tr("&New"), QKeySequence(Qt::CTRL | Qt::Key_N)),
                     &QAction::triggered, &window, [&host] { host.newDocument(); });
    QAction* fromPatch = addAction(file, "fileNewFromConsolePatch", tr("New Layout from Console &Patch…"));
    QObject::connect(fromPatch, &QAction::triggered, &window,
                     [&host, self] { host.newLayoutFromConsolePatch(self); });
    // Only a console that answers can tell its patch.
    EosConnectionManager* eos = host.consoleLink();
    const auto showFromPatch = [fromPatch, eos] {
        fromPatch->setEnabled(eos && eos->health() == EosConsoleHealth::answering);
    };
    if (eos)
        QObject::connect(eos, &EosConnectionManager::healthChanged, fromPatch, showFromPatch);
    showFromPatch();
    QObject::connect(addAction(file, "fileOpen", tr("&Open…"), QKeySequence(Qt::CTRL | Qt::Key_O)),
                     &QAction::triggered, &window, [&host, self] { host.chooseAndOpen(self); });
    QMenu* recent = file->addMenu(tr("Open &Recent"));
    recent->menuAction()->setObjectName(QStringLiteral("fileOpenRecent"));
    // Built afresh each time, as another window may have added a file since.
    QObject::connect(recent, &QMenu::aboutToShow, &window, [recent, &host, self] {
        if (self)
            buildRecent(recent, *self, host);
    });
    buildRecent(recent, window, host);
    file->addSeparator();
    QObject::connect(addAction(file, "fileClose", tr("&Close"), QKeySequence(Qt::CTRL | Qt::Key_W)),
                     &QAction::triggered, &window, &QWidget::close);
    QObject::connect(addAction(file, "fileSave", tr("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S)),
                     &QAction::triggered, &window, &DocumentWindow::save);
    QObject::connect(
        addAction(file, "fileSaveAs", tr("Save &As…"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
        &QAction::triggered, &window, &DocumentWindow::saveAs);
    QAction* revert = addAction(file, "fileRevert", tr("Re&vert to Saved"));
    QObject::connect(revert, &QAction::triggered, &window, &DocumentWindow::revertToSaved);
    const auto showRevert = [revert, self] {
        if (self)
            revert->setEnabled(!self->filePath().isEmpty() && self->history()->hasUnsavedChanges());
    };
    QObject::connect(window.history(), &DocumentHistory::unsavedChangesChanged, revert, showRevert);
    QObject::connect(&window, &DocumentWindow::filePathChanged, revert, showRevert);
    showRevert();
    file->addSeparator();
    QAction* quit = addAction(file, "fileQuit", tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
    // Queued, so the window whose menu asked is not closed from inside its own menu.
    QObject::connect(
        quit, &QAction::triggered, &window, [&host] { host.quit(); }, Qt::QueuedConnection);

    QMenu* edit = bar->addMenu(tr("&Edit"));
    QUndoStack* stack = window.history()->stack();
    QAction* undo = stack->createUndoAction(edit, tr("Undo"));
    undo->setObjectName(QStringLiteral("editUndo"));
    undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    edit->addAction(undo);
    QAction* redo = stack->createRedoAction(edit, tr("Redo"));
    redo->setObjectName(QStringLiteral("editRedo"));
    redo->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    edit->addAction(redo);
    edit->addSeparator();
    GridViewModel* model = window.viewModel();
    QAction* remove = addAction(edit, "editDelete", tr("Delete"));
    remove->setShortcuts({QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)});
    QObject::connect(remove, &QAction::triggered, model, &GridViewModel::deleteEditSelection);
    const auto showRemove = [remove, model] {
        remove->setEnabled(model->mode() == AppMode::edit && !model->editSelectedIDs().isEmpty());
    };
    QObject::connect(model, &GridViewModel::modeChanged, remove, showRemove);
    QObject::connect(model, &GridViewModel::editSelectedIDsChanged, remove, showRemove);
    showRemove();

    QMenu* view = bar->addMenu(tr("&View"));
    QAction* consoleSelection = addAction(view, "viewConsoleSelection", tr("Show &Console Selection"));
    consoleSelection->setCheckable(true);
    consoleSelection->setChecked(window.consoleSelection()->isShown());
    QObject::connect(consoleSelection, &QAction::toggled, window.consoleSelection(),
                     &ConsoleSelectionFollower::setShown);
    QAction* liveLevels = addAction(view, "viewLiveLevels", tr("Show &Live Levels"));
    liveLevels->setCheckable(true);
    liveLevels->setChecked(window.liveLevels()->isShown());
    QObject::connect(liveLevels, &QAction::toggled, window.liveLevels(), &LiveLevelsFollower::setShown);
    QAction* groups = window.consoleGroups()->toggleViewAction();
    groups->setObjectName(QStringLiteral("viewConsoleGroups"));
    groups->setText(tr("Console &Groups"));
    view->addAction(groups);
    QObject::connect(addAction(view, "viewConsoleTraffic", tr("Console &Traffic")), &QAction::triggered,
                     &window, [&host] { host.openConsoleTraffic(); });
    view->addSeparator();
    // The same commands, offered again by a click on the toolbar's zoom percentage.
    auto* zoom = new QMenu(tr("Zoom"), &window);
    GridCanvasView* canvas = window.contentView()->canvas();
    const struct {
        const char* name;
        QString text;
        QList<QKeySequence> keys;
        void (GridCanvasView::*command)();
    } zooms[] = {
        {"viewZoomIn",
         tr("Zoom In"),
         {QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)},
         &GridCanvasView::zoomIn},
        {"viewZoomOut", tr("Zoom Out"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &GridCanvasView::zoomOut},
        {"viewActualSize",
         tr("Actual Size"),
         {QKeySequence(Qt::CTRL | Qt::Key_0)},
         &GridCanvasView::zoomToActualSize},
        {"viewZoomToFit",
         tr("Zoom to Fit"),
         {QKeySequence(Qt::CTRL | Qt::Key_9)},
         &GridCanvasView::zoomToFit},
        {"viewZoomToSelection", tr("Zoom to Selection"), {}, &GridCanvasView::zoomToSelection},
    };
    for (const auto& entry : zooms) {
        QAction* action = addAction(view, entry.name, entry.text);
        action->setShortcuts(entry.keys);
        QObject::connect(action, &QAction::triggered, canvas, entry.command);
        zoom->addAction(action);
    }
    window.toolbarContent()->setZoomMenu(zoom);

    // The console's commands in one place, each the same action as where else it is offered.
    QMenu* console = bar->addMenu(tr("&Console"));
    if (auto* selectionBar = qobject_cast<SelectionBarView*>(window.contentView()->selectionBar()))
        console->addAction(selectionBar->recordGroupAction());
    console->addAction(fromPatch);
    console->addAction(consoleSelection);
    console->addSeparator();
    QAction* connectTo = addAction(console, "consoleConnect", tr("Connect…"));
    QObject::connect(connectTo, &QAction::triggered, &window, [self] {
        auto* status = self ? qobject_cast<EosStatusBarView*>(self->contentView()->statusBar()) : nullptr;
        if (status && !status->consolePopover())
            status->togglePopover();
    });

    QMenu* help = bar->addMenu(tr("&Help"));
    QAction* helpPage = addAction(help, "helpPexlora", tr("Pexlora Help"));
    // Ctrl+Shift+/ arrives as Ctrl+? on keyboards where Shift+/ types "?".
    helpPage->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Slash),
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Question)});
    helpPage->setMenuRole(QAction::NoRole);
    QObject::connect(helpPage, &QAction::triggered, &window, [&host] { host.openHelp(); });
}

void WindowMenus::buildRecent(QMenu* menu, DocumentWindow& window, DocumentWindowHost& host) {
    menu->clear();
    const QStringList paths = host.recentPaths();
    QPointer<DocumentWindow> self(&window);
    QHash<QString, int> named;
    for (const QString& path : paths)
        ++named[QFileInfo(path).fileName()];
    for (const QString& path : paths) {
        const QFileInfo file(path);
        // Files of one name are told apart by their folder.
        QString text = named.value(file.fileName()) > 1
                           ? tr("%1 — %2").arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath()))
                           : file.fileName();
        // An "&" in a name is a character, not the mark of a shortcut key.
        QAction* entry = menu->addAction(text.replace(u'&', QStringLiteral("&&")));
        entry->setToolTip(plainToolTip(path));
        entry->setStatusTip(path);
        QObject::connect(entry, &QAction::triggered, &window,
                         [&host, path, self] { host.openDocument(path, self); });
    }
    if (!paths.isEmpty())
        menu->addSeparator();
    QAction* clear = menu->addAction(tr("Clear Menu"));
    clear->setObjectName(QStringLiteral("fileClearRecent"));
    clear->setEnabled(!paths.isEmpty());
    QObject::connect(clear, &QAction::triggered, &window, [&host] { host.clearRecentPaths(); });
    menu->menuAction()->setEnabled(true);
}

} // namespace pexlora
