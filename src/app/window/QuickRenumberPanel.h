// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QPushButton;

namespace pexlora {

class GridViewModel;
class RefusalLabel;

// The quick-renumber popover's content: the number the next click gives and the
// step after it, both read and written straight through to the model. A text
// the model would not use as typed (it reads as 1, or gives no cell number) is
// said so under its field as it stands, and Tab does not leave the field then.
class QuickRenumberPanel : public QWidget {
    Q_OBJECT

public:
    explicit QuickRenumberPanel(GridViewModel* model, QWidget* parent = nullptr);

    QLineEdit* nextField() const { return m_next; }
    QLineEdit* incrementField() const { return m_increment; }
    QPushButton* resetButton() const { return m_reset; }
    RefusalLabel* nextRefusal() const { return m_nextRefusal; }
    RefusalLabel* incrementRefusal() const { return m_incrementRefusal; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the model's text unless the field already holds it, so typing keeps
    // its cursor.
    static void display(QLineEdit* field, const QString& text);
    // Says under each field why its text is refused, or nothing; whether `field`'s is.
    bool refuse(const QLineEdit* field = nullptr);

    QPointer<GridViewModel> m_model;
    QLineEdit* m_next;
    QLineEdit* m_increment;
    QPushButton* m_reset;
    RefusalLabel* m_nextRefusal;
    RefusalLabel* m_incrementRefusal;
};

} // namespace pexlora
