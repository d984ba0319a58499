// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class QLineEdit;

namespace pexlora {

class GridViewModel;

// The content of the renumber popover: a field bound to the model's pending
// number text. Return commits, Tab commits and goes on to the next cell, Escape
// cancels; what each of those does is the canvas's.
class RenumberPopoverPanel : public QWidget {
    Q_OBJECT

public:
    explicit RenumberPopoverPanel(GridViewModel& model, QWidget* parent = nullptr);

    QLineEdit* field() const { return m_field; }

signals:
    void commitRequested();
    void tabRequested();
    void cancelRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<GridViewModel> m_model;
    QLineEdit* m_field;
};

} // namespace pexlora
