#include "app/DocumentDialogs.h"

#include "model/PexloraDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace pexlora {

QString StandardDocumentDialogs::fileFilter() {
    return tr("Pexlora Layout (*.%1)").arg(PexloraDocument::fileExtension);
}

DocumentDialogs::SaveAnswer StandardDocumentDialogs::askToSaveChanges(QWidget* window,
                                                                      const QString& documentName) {
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
                    tr("Do you want to save the changes made to the document “%1”?").arg(documentName),
                    QMessageBox::NoButton, window);
    box.setInformativeText(tr("Your changes will be lost if you don’t save them."));
    QPushButton* save = box.addButton(tr("Save"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(tr("Don’t Save"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return SaveAnswer::save;
    if (box.clickedButton() == discard)
        return SaveAnswer::discard;
    return SaveAnswer::cancel;
}

bool StandardDocumentDialogs::confirmRevert(QWidget* window, const QString& documentName) {
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
                    tr("Do you want to revert “%1” to the most recently saved version?").arg(documentName),
                    QMessageBox::NoButton, window);
    box.setInformativeText(tr("Your current changes will be lost, and they cannot be undone."));
    QPushButton* revert = box.addButton(tr("Revert"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == revert;
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

bool StandardDocumentDialogs::confirmReplace(QWidget* window, const QString& path) {
    const QFileInfo file(path);
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(),
                    tr("“%1” already exists. Do you want to replace it?").arg(file.fileName()),
                    QMessageBox::NoButton, window);
    box.setInformativeText(tr("A file with the same name already exists in “%1”. Replacing it will "
                              "overwrite its contents.")
                               .arg(QDir::toNativeSeparators(file.absolutePath())));
    QPushButton* replace = box.addButton(tr("Replace"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == replace;
}

std::unique_ptr<QMessageBox> StandardDocumentDialogs::restoreQuestion(QWidget* parent,
                                                                      const QString& documentName) {
    auto box = std::make_unique<QMessageBox>(
        QMessageBox::Warning, QCoreApplication::applicationName(),
        tr("Pexlora quit while “%1” had unsaved changes.").arg(documentName), QMessageBox::NoButton, parent);
    box->setInformativeText(
        tr("Restore opens the layout as it was then, with its changes still to be saved."));
    box->setDefaultButton(box->addButton(tr("Restore"), QMessageBox::AcceptRole));
    box->addButton(tr("Discard"), QMessageBox::DestructiveRole);
    return box;
}

bool StandardDocumentDialogs::askToRestore(QWidget* parent, const QString& documentName) {
    const auto box = restoreQuestion(parent, documentName);
    box->exec();
    // Only a deliberate Discard throws the changes away; closing the box keeps them.
    QAbstractButton* clicked = box->clickedButton();
    return !clicked || box->buttonRole(clicked) != QMessageBox::DestructiveRole;
}

std::unique_ptr<QMessageBox> StandardDocumentDialogs::errorMessage(QWidget* parent, const QString& text,
                                                                   const QString& reason) {
    auto box = std::make_unique<QMessageBox>(QMessageBox::Critical, QCoreApplication::applicationName(), text,
                                             QMessageBox::Ok, parent);
    box->setInformativeText(reason);
    return box;
}

void StandardDocumentDialogs::showError(QWidget* parent, const QString& text, const QString& reason) {
    errorMessage(parent, text, reason)->exec();
}

void StandardDocumentDialogs::openError(QWidget* parent, const QString& text, const QString& reason) {
    auto box = errorMessage(parent, text, reason);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Its parent window, or closing it, ends it.
    box.release()->open();
}

QString sentenceFrom(const QString& clause) {
    QString sentence = clause.trimmed();
    if (sentence.isEmpty())
        return sentence;
    sentence[0] = sentence[0].toUpper();
    return sentence;
}

} // namespace pexlora
