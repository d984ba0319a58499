// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace pexlora {

// The program's label. A QLabel reads markup by default, and markup in a console's
// reply or a file's name can make Qt load any file as an image (an <img> of
// /dev/zero never ends) or offer a link; this one shows its text as given, always.
// Every label of the program is one of these.
class PlainLabel : public QLabel {
    Q_OBJECT

public:
    explicit PlainLabel(const QString& text = QString(), QWidget* parent = nullptr);
};

} // namespace pexlora
