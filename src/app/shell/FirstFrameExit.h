// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QWidget;

namespace pexlora {

// Ends the program as soon as a window has been exposed and painted once, so a
// benchmark can time start-up as the user sees it.
class FirstFrameExit : public QObject {
    Q_OBJECT

public:
    static void arm(QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FirstFrameExit(QObject* parent);
};

} // namespace pexlora
