// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace pexlora {

// A thin horizontal line in the desktop's separator colour, across the top of a bar
// or between the sections of a popover.
class Divider : public QWidget {
    Q_OBJECT

public:
    explicit Divider(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {1, 1}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace pexlora
