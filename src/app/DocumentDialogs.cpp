#include "app/DocumentDialogs.h"

#include "model/PexloraDocument.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace pexlora {

namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("DocumentDialogs", text);
}

} // namespace

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
    return QFileDialog::getSaveFileName(window, tr("Save As"), suggestedPath, fileFilter());
}

void StandardDocumentDialogs::showError(QWidget* parent, const QString& text, const QString& reason) {
    QMessageBox box(QMessageBox::Critical, QCoreApplication::applicationName(), text, QMessageBox::Ok,
                    parent);
    // The readers give their reason as a clause; as a message it starts a sentence.
    QString sentence = reason;
    if (!sentence.isEmpty())
        sentence[0] = sentence[0].toUpper();
    box.setInformativeText(sentence);
    box.exec();
}

} // namespace pexlora
