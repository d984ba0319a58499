// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/document/PatchArrangementDialog.h"
#include "eos/EosPatchImport.h"
#include "model/GridElement.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <functional>

class QWidget;

namespace pexlora {

class DocumentDialogs;
class EosConnectionManager;
class GridViewModel;

// File ▸ New Layout from Console Patch…: reads the console's patch, with a
// progress dialog and Cancel once it takes longer than a second, then opens a new
// untitled window with one cell per channel, in channel order or as hung. When some
// answers never came, the layout holds what did arrive and a note says how many
// channels are missing.
// It deletes itself when it is done.
class ConsolePatchImport : public QObject {
    Q_OBJECT

public:
    static constexpr int progressDelayMs = 1000;

    // Opens a new untitled window and returns it with its model, for the layout.
    using LayoutWindow = std::function<std::pair<QWidget*, GridViewModel*>()>;

    // Lives as long as `owner` at most.
    ConsolePatchImport(EosConnectionManager& link, DocumentDialogs& dialogs, LayoutWindow newWindow,
                       PatchArrangement arrangement, QObject* owner, QWidget* parent);
    ~ConsolePatchImport() override;

    void start();
    QProgressDialog* progressDialog() const { return m_progress; }

    // The note shown when `missing` patch entries were never answered.
    static QString missingText(int missing);
    // Why no layout could be made of `result`, which brought no channels.
    static QString failureReason(const EosPatchResult& result);
    // The cells of the layout, laid out as asked; `unplaced` is set when the rig was
    // asked for and the desk gave no positions, so the channel order was used.
    static GridElements cellsFor(const EosPatchResult& result, const PatchArrangement& arrangement,
                                 bool* unplaced = nullptr);

signals:
    // The new window, or null when the import failed or was cancelled.
    void done(QWidget* window);

private:
    void finish(const EosPatchResult& result);

    DocumentDialogs& m_dialogs;
    LayoutWindow m_newWindow;
    PatchArrangement m_arrangement;
    QPointer<QWidget> m_parent;
    EosPatchImport* m_import;
    QPointer<QProgressDialog> m_progress;
    bool m_finished = false;
};

} // namespace pexlora
