// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QMargins>

namespace pexlora {

// The selection bar's "Rec. Group" button: white semibold text on a dark slate
// rounded rectangle, drawn at 40 % opacity while there is nothing it can record.
class RecordGroupButton : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr QMargins padding{10, 6, 10, 6};
    static constexpr double cornerRadius = 8;

    explicit RecordGroupButton(QWidget* parent = nullptr);

    static QColor fillColor() { return QColor::fromRgb(38, 55, 70); }
    // How opaque it is drawn: fully while enabled, dimmed otherwise.
    double opacity() const { return isEnabled() ? 1.0 : 0.4; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QFont labelFont() const;
};

} // namespace pexlora
