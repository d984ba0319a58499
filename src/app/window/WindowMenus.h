// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>

class QMenu;

namespace pexlora {

class DocumentWindow;
class DocumentWindowHost;

// The menu bar of a document window: File, Edit, View, Console and Help; each command
// is one action, shared with its key and any button that offers it. Every action has an
// object name ("fileSave", "editUndo", …) by which tests and scripts find it.
class WindowMenus {
    Q_DECLARE_TR_FUNCTIONS(pexlora::WindowMenus)

public:
    static void build(DocumentWindow& window, DocumentWindowHost& host);

private:
    static void buildRecent(QMenu* menu, DocumentWindow& window, DocumentWindowHost& host);
};

} // namespace pexlora
