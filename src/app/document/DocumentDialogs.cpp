// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/document/DocumentDialogs.h"

#include "model/PexloraDocument.h"
#include "widgets/PlainMessage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace pexlora {

namespace {

// A question about a document; the names and paths in it are shown as given.
std::unique_ptr<QMessageBox> question(QWidget* window, const QString& text, const QString& informativeText) {
    return plainMessageBox(QMessageBox::Warning, text, informativeText, QMessageBox::NoButton, window);
}

// Shows `box` until it is answered: the role of the button pressed; closing it rejects.
QMessageBox::ButtonRole answerTo(QMessageBox& box) {
    box.exec();
    return box.clickedButton() ? box.buttonRole(box.clickedButton()) : QMessageBox::RejectRole;
}

// Shown without waiting: `parent`'s window is blocked while it is open, and it deletes
// itself when closed, or with that window.
void openOnItsOwn(std::unique_ptr<QMessageBox> box) {
    box->setAttribute(Qt::WA_DeleteOnClose);
    box.release()->open();
}

} // namespace

QString StandardDocumentDialogs::fileFilter() {
    return tr("Pexlora Layout (*.%1)").arg(PexloraDocument::fileExtension);
}

std::unique_ptr<QMessageBox> StandardDocumentDialogs::saveChangesQuestion(QWidget* window,
                                                                          const QString& documentName) {
    auto box =
        question(window, tr("Do you want to save the changes made to the document “%1”?").arg(documentName),
                 tr("Your changes will be lost if you don’t save them."));
    QPushButton* save = box->addButton(tr("Save"), QMessageBox::AcceptRole);
    box->addButton(tr("Don’t Save"), QMessageBox::DestructiveRole);
    box->setEscapeButton(box->addButton(tr("Cancel"), QMessageBox::RejectRole));
    box->setDefaultButton(save);
    return box;
}

DocumentDialogs::SaveAnswer StandardDocumentDialogs::askToSaveChanges(QWidget* window,
                                                                      const QString& documentName) {
    switch (answerTo(*saveChangesQuestion(window, documentName))) {
    case QMessageBox::AcceptRole:
        return SaveAnswer::save;
    case QMessageBox::DestructiveRole:
        return SaveAnswer::discard;
    default:
        return SaveAnswer::cancel;
    }
}

bool StandardDocumentDialogs::confirmRevert(QWidget* window, const QString& documentName) {
    const auto box = question(
        window, tr("Do you want to revert “%1” to the most recently saved version?").arg(documentName),
        tr("Your current changes will be lost, and they cannot be undone."));
    box->addButton(tr("Revert"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(tr("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    return answerTo(*box) == QMessageBox::DestructiveRole;
}

QStringList StandardDocumentDialogs::choosePathsToOpen(QWidget* parent, const QString& folder) {
    return QFileDialog::getOpenFileNames(parent, tr("Open"), folder, fileFilter());
}

QString StandardDocumentDialogs::chooseSavePath(QWidget* window, const QString& suggestedPath) {
    QFileDialog dialog(window, tr("Save As"), QFileInfo(suggestedPath).absolutePath(), fileFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The picker adds the extension before it asks about replacing a file, so the
    // question is about the file that will really be written.
    dialog.setDefaultSuffix(PexloraDocument::fileExtension.toString());
    dialog.selectFile(suggestedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

std::unique_ptr<QMessageBox> StandardDocumentDialogs::replaceQuestion(QWidget* window, const QString& path) {
    const QFileInfo file(path);
    auto box = question(window, tr("“%1” already exists. Do you want to replace it?").arg(file.fileName()),
                        tr("A file with the same name already exists in “%1”. Replacing it will "
                           "overwrite its contents.")
                            .arg(QDir::toNativeSeparators(file.absolutePath())));
    box->addButton(tr("Replace"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(tr("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    return box;
}

bool StandardDocumentDialogs::confirmReplace(QWidget* window, const QString& path) {
    return answerTo(*replaceQuestion(window, path)) == QMessageBox::DestructiveRole;
}

std::unique_ptr<QMessageBox> StandardDocumentDialogs::restoreQuestion(QWidget* parent,
                                                                      const QString& documentName) {
    auto box = question(parent, tr("Pexlora quit while “%1” had unsaved changes.").arg(documentName),
                        tr("Restore opens the layout as it was then, with its changes still to be saved."));
    box->setDefaultButton(box->addButton(tr("Restore"), QMessageBox::AcceptRole));
    box->addButton(tr("Discard"), QMessageBox::DestructiveRole);
    return box;
}

bool StandardDocumentDialogs::askToRestore(QWidget* parent, const QString& documentName) {
    // Only a deliberate Discard throws the changes away; closing the box keeps them.
    return answerTo(*restoreQuestion(parent, documentName)) != QMessageBox::DestructiveRole;
}

std::unique_ptr<QMessageBox> StandardDocumentDialogs::changedFileQuestion(QWidget* window,
                                                                          const QString& documentName) {
    auto box = question(window, tr("“%1” was changed by another program.").arg(documentName),
                        tr("Saving over it throws away the changes made there."));
    box->addButton(tr("Save over it"), QMessageBox::DestructiveRole);
    box->addButton(tr("Save As…"), QMessageBox::AcceptRole);
    QPushButton* cancel = box->addButton(tr("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    return box;
}

DocumentDialogs::ChangedFileAnswer StandardDocumentDialogs::askAboutChangedFile(QWidget* window,
                                                                                const QString& documentName) {
    switch (answerTo(*changedFileQuestion(window, documentName))) {
    case QMessageBox::DestructiveRole:
        return ChangedFileAnswer::saveOver;
    case QMessageBox::AcceptRole:
        return ChangedFileAnswer::saveAs;
    default:
        return ChangedFileAnswer::cancel;
    }
}

void StandardDocumentDialogs::offerReload(QWidget* window, const QString& documentName,
                                          std::function<void()> reload) {
    // One offer a window: a file changed again while it is open is still the one offered.
    const QString name = QStringLiteral("reloadOffer");
    if (window && window->findChild<QMessageBox*>(name))
        return;
    auto box = plainMessageBox(
        QMessageBox::Information, tr("“%1” was changed by another program.").arg(documentName),
        tr("Reload shows the layout as it is in the file now."), QMessageBox::NoButton, window);
    QPushButton* reloadButton = box->addButton(tr("Reload"), QMessageBox::AcceptRole);
    box->setEscapeButton(box->addButton(tr("Keep This Version"), QMessageBox::RejectRole));
    box->setDefaultButton(reloadButton);
    box->setObjectName(name);
    QObject::connect(reloadButton, &QPushButton::clicked, box.get(),
                     [reload = std::move(reload)] { reload(); });
    openOnItsOwn(std::move(box));
}

std::unique_ptr<QMessageBox> StandardDocumentDialogs::errorMessage(QWidget* parent, const QString& text,
                                                                   const QString& reason) {
    return plainMessageBox(QMessageBox::Critical, text, reason, QMessageBox::Ok, parent);
}

void StandardDocumentDialogs::showError(QWidget* parent, const QString& text, const QString& reason) {
    errorMessage(parent, text, reason)->exec();
}

void StandardDocumentDialogs::openError(QWidget* parent, const QString& text, const QString& reason,
                                        std::function<void()> closed) {
    auto box = errorMessage(parent, text, reason);
    if (closed)
        QObject::connect(box.get(), &QObject::destroyed, [closed = std::move(closed)] { closed(); });
    openOnItsOwn(std::move(box));
}

std::optional<PatchArrangement> StandardDocumentDialogs::choosePatchArrangement(QWidget* parent) {
    PatchArrangementDialog dialog(m_lastArrangement, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    m_lastArrangement = dialog.arrangement();
    return m_lastArrangement;
}

QString sentenceFrom(const QString& clause) {
    QString sentence = clause.trimmed();
    if (sentence.isEmpty())
        return sentence;
    sentence[0] = sentence[0].toUpper();
    return sentence;
}

} // namespace pexlora
