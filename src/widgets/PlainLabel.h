// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QLabel>
#include <functional>

namespace pexlora {

struct SystemColors;

// The program's label. A QLabel reads markup by default, and markup in a console's
// reply or a file's name can make Qt load any file as an image (an <img> of
// /dev/zero never ends) or offer a link; this one shows its text as given, always.
// Every label of the program is one of these.
class PlainLabel : public QLabel {
    Q_OBJECT

public:
    // The colour of the text, taken from the desktop's palette now and whenever it
    // changes, as it does when the desktop turns dark.
    using Ink = std::function<QColor(const SystemColors&)>;

    explicit PlainLabel(const QString& text = QString(), QWidget* parent = nullptr);

    // Empty for the palette's own text colour.
    void setInk(Ink ink);

protected:
    void changeEvent(QEvent* event) override;

private:
    void takeInk();

    Ink m_ink;
};

} // namespace pexlora
