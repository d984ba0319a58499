// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QString>
#include <memory>

namespace pexlora {

// Message boxes and tooltips that show outside text (a file's name or content, a
// path, a console's reply) as the text it is. Both read markup by default, and the
// informative text of a QMessageBox even opens the links it finds. Every message box
// of the program is made by plainMessageBox.

// A box whose `text` and `informativeText` are shown as given; its title is the
// program's name.
std::unique_ptr<QMessageBox> plainMessageBox(QMessageBox::Icon icon, const QString& text,
                                             const QString& informativeText,
                                             QMessageBox::StandardButtons buttons, QWidget* parent);

// A tooltip that shows `text` as given, cut to a length a tooltip can show. Its
// lines are kept as they are unless `wrap`, when they break where the width needs.
QString plainToolTip(const QString& text, bool wrap = false);

} // namespace pexlora
