// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/PlainMessage.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTextDocument>

namespace pexlora {

namespace {

// More than a screen can show; beyond it a text only costs time to lay out.
constexpr qsizetype longestShown = 4000;

QString bounded(const QString& text) {
    return text.size() > longestShown ? text.left(longestShown) + u'…' : text;
}

} // namespace

std::unique_ptr<QMessageBox> plainMessageBox(QMessageBox::Icon icon, const QString& text,
                                             const QString& informativeText,
                                             QMessageBox::StandardButtons buttons, QWidget* parent) {
    auto box =
        std::make_unique<QMessageBox>(icon, QCoreApplication::applicationName(), QString(), buttons, parent);
    box->setTextFormat(Qt::PlainText);
    box->setText(bounded(text));
    if (!informativeText.isEmpty()) {
        // The box makes its informative label on first use, reading markup and opening
        // links; a placeholder makes it, and it is made plain before the real text comes.
        box->setInformativeText(QStringLiteral(" "));
        if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"))) {
            label->setTextFormat(Qt::PlainText);
            label->setText(bounded(informativeText));
        } else {
            // A Qt that names it otherwise still gets the text escaped, never as markup.
            box->setInformativeText(Qt::convertFromPlainText(bounded(informativeText)));
        }
    }
    // Plain text has no links; this box offers none whatever its labels later hold.
    for (QLabel* label : box->findChildren<QLabel*>())
        label->setOpenExternalLinks(false);
    return box;
}

QString plainToolTip(const QString& text, bool wrap) {
    return Qt::convertFromPlainText(bounded(text), wrap ? Qt::WhiteSpaceNormal : Qt::WhiteSpacePre);
}

} // namespace pexlora
