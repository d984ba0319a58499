// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QWidget;

namespace pexlora {

class ConsolePatchImport;
class LiveLevelsSource;
class DocumentDialogs;
class DocumentWindow;
class EosConnectionManager;

// What a document window asks of the program around it: its questions, the recent
// files, the console link, and the commands that are not about one window. The
// application object is the host; a test gives a window a host of its own.
class DocumentWindowHost {
public:
    virtual ~DocumentWindowHost() = default;

    virtual DocumentDialogs& dialogs() = 0;
    // The console link the window shows; null for a window without one.
    virtual EosConnectionManager* consoleLink() = 0;
    // The desk's live levels, heard on the network; null where there are none to hear.
    virtual LiveLevelsSource* liveLevels() = 0;

    // File ▸ Open Recent, newest first.
    virtual QStringList recentPaths() = 0;
    // A file just opened or saved goes first in the list.
    virtual void addRecentPath(const QString& path) = 0;
    virtual void clearRecentPaths() = 0;

    // Another window than `asking` that shows the file at `path`.
    virtual DocumentWindow* otherWindowFor(const QString& path, const DocumentWindow* asking) = 0;
    // A window whose close went through.
    virtual void windowClosed(DocumentWindow* window) = 0;

    virtual DocumentWindow* newDocument() = 0;
    // Raises the window that already shows `path`, or reads it into a new one. Null
    // when it cannot be read; the user is told why, over `parent`'s window.
    virtual DocumentWindow* openDocument(const QString& path, QWidget* parent) = 0;
    // File ▸ Open…: asks for files and opens each.
    virtual void chooseAndOpen(QWidget* parent) = 0;
    // File ▸ New Layout from Console Patch…: one import at a time; null while another
    // is under way, or when the user cancels the question of how to lay it out.
    virtual ConsolePatchImport* newLayoutFromConsolePatch(QWidget* parent) = 0;
    virtual void openHelp() = 0;
    // View ▸ Console Traffic: the one traffic window of the program, opened or brought forward.
    virtual void openConsoleTraffic() = 0;
    // Closes every window, each asking about its unsaved changes, and ends the
    // program. False, with the rest left open, when the user cancelled one.
    virtual bool quit() = 0;
};

} // namespace pexlora
