// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QMargins>

namespace pexlora {

// The status bar's borderless button: a dot, green while the console link is up
// and red otherwise, and the link's state in small secondary text.
class EosStatusButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr QMargins padding{10, 4, 10, 4};
    static constexpr int dotSize = 8;
    static constexpr int spacing = 6;

    explicit EosStatusButton(QWidget* parent = nullptr);

    void setConnected(bool connected);
    bool isConnected() const { return m_connected; }
    QColor dotColor() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont labelFont() const;

    bool m_connected = false;
};

} // namespace pexlora
