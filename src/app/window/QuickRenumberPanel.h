// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QPushButton;

namespace pexlora {

class GridViewModel;

// The quick-renumber popover's content: the number the next click gives and the
// step after it, both read and written straight through to the model.
class QuickRenumberPanel : public QWidget {
    Q_OBJECT

public:
    explicit QuickRenumberPanel(GridViewModel* model, QWidget* parent = nullptr);

    QLineEdit* nextField() const { return m_next; }
    QLineEdit* incrementField() const { return m_increment; }
    QPushButton* resetButton() const { return m_reset; }

private:
    // Shows the model's text unless the field already holds it, so typing keeps
    // its cursor.
    static void display(QLineEdit* field, const QString& text);

    QPointer<GridViewModel> m_model;
    QLineEdit* m_next;
    QLineEdit* m_increment;
    QPushButton* m_reset;
};

} // namespace pexlora
