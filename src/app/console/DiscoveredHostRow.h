// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosDiscoveredHost.h"

#include <QAbstractButton>
#include <QMargins>

namespace pexlora {

// One console found by discovery, in the console popover: a dot for its session
// state, its name over its type ("In use" with it when the link goes to it), and its
// address at the right. Clicking it picks that console.
class DiscoveredHostRow : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr QMargins padding{8, 5, 8, 5};
    static constexpr int dotSize = 6;
    static constexpr int spacing = 8;
    static constexpr double cornerRadius = 6;

    explicit DiscoveredHostRow(EosDiscoveredHost host, QWidget* parent = nullptr);

    const EosDiscoveredHost& host() const { return m_host; }
    void setHost(EosDiscoveredHost host);
    // Whether the console link goes to this console.
    void setInUse(bool inUse);
    bool isInUse() const { return m_inUse; }

    // The name shown: "Unknown" for a console that gave none.
    QString displayName() const;
    QString consoleType() const;
    // The line under the name: the type, and "In use" while the link goes here.
    QString secondaryText() const;
    QColor dotColor() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void refresh();
    QFont nameFont() const;
    QFont typeFont() const;
    QFont addressFont() const;

    EosDiscoveredHost m_host;
    bool m_hovered = false;
    bool m_inUse = false;
};

} // namespace pexlora
