// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/document/PatchArrangementDialog.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QMessageBox;
class QWidget;

namespace pexlora {

// Every question and message the document windows put to the user. The windows
// ask through this seam so that tests can answer file pickers without blocking.
class DocumentDialogs {
public:
    enum class SaveAnswer { save, discard, cancel };
    enum class ChangedFileAnswer { saveOver, saveAs, cancel };

    virtual ~DocumentDialogs() = default;

    // Before a window with unsaved changes closes.
    virtual SaveAnswer askToSaveChanges(QWidget* window, const QString& documentName) = 0;
    // Before unsaved changes are thrown away for the file on disk.
    virtual bool confirmRevert(QWidget* window, const QString& documentName) = 0;
    // Empty when the user cancels.
    virtual QStringList choosePathsToOpen(QWidget* parent, const QString& folder) = 0;
    virtual QString chooseSavePath(QWidget* window, const QString& suggestedPath) = 0;
    // Before a file that is there is written over.
    virtual bool confirmReplace(QWidget* window, const QString& path) = 0;
    // At start, for a layout whose changes a Pexlora that quit unexpectedly had not
    // saved: true to open it again, false to throw the changes away.
    virtual bool askToRestore(QWidget* parent, const QString& documentName) = 0;
    // Before a save over a file that another program changed since it was opened or
    // last saved here.
    virtual ChangedFileAnswer askAboutChangedFile(QWidget* window, const QString& documentName) = 0;
    // A layout without unsaved changes whose file another program changed: it returns
    // at once, and `reload` is called if the user takes the file as it is now.
    virtual void offerReload(QWidget* window, const QString& documentName, std::function<void()> reload) = 0;
    // A failure the user has to know of: `text` says what failed, `reason` why,
    // each shown as given.
    virtual void showError(QWidget* parent, const QString& text, const QString& reason) = 0;
    // The same, but it returns at once and the box stays open on its own (modal to
    // `parent`'s window): for a failure found in the middle of other work, such as
    // a reply the console link is still reading, where a box that waits would run
    // the event loop under that work. `closed`, when given, is called once the box is gone.
    virtual void openError(QWidget* parent, const QString& text, const QString& reason,
                           std::function<void()> closed) = 0;
    // Before a console's patch is read into a new layout: how to lay it out; nothing
    // when the user cancels.
    virtual std::optional<PatchArrangement> choosePatchArrangement(QWidget* parent) = 0;
};

// The readers and writers give their reason as a clause ("the file could not be
// read: …"); in a message it stands as a sentence of its own.
QString sentenceFrom(const QString& clause);

// The desktop's own message boxes and file dialogs.
class StandardDocumentDialogs : public DocumentDialogs {
    Q_DECLARE_TR_FUNCTIONS(pexlora::StandardDocumentDialogs)

public:
    // What the file dialogs offer.
    static QString fileFilter();

    SaveAnswer askToSaveChanges(QWidget* window, const QString& documentName) override;
    bool confirmRevert(QWidget* window, const QString& documentName) override;
    QStringList choosePathsToOpen(QWidget* parent, const QString& folder) override;
    QString chooseSavePath(QWidget* window, const QString& suggestedPath) override;
    bool confirmReplace(QWidget* window, const QString& path) override;
    bool askToRestore(QWidget* parent, const QString& documentName) override;
    ChangedFileAnswer askAboutChangedFile(QWidget* window, const QString& documentName) override;
    void offerReload(QWidget* window, const QString& documentName, std::function<void()> reload) override;
    void showError(QWidget* parent, const QString& text, const QString& reason) override;
    void openError(QWidget* parent, const QString& text, const QString& reason,
                   std::function<void()> closed) override;
    std::optional<PatchArrangement> choosePatchArrangement(QWidget* parent) override;

    // Some of the boxes as they are shown, so that their words and buttons can be
    // looked at without showing them.
    static std::unique_ptr<QMessageBox> restoreQuestion(QWidget* parent, const QString& documentName);
    static std::unique_ptr<QMessageBox> saveChangesQuestion(QWidget* window, const QString& documentName);
    static std::unique_ptr<QMessageBox> changedFileQuestion(QWidget* window, const QString& documentName);
    static std::unique_ptr<QMessageBox> replaceQuestion(QWidget* window, const QString& path);
    static std::unique_ptr<QMessageBox> errorMessage(QWidget* parent, const QString& text,
                                                     const QString& reason);

private:
    PatchArrangement m_lastArrangement;
};

} // namespace pexlora
