// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

class QLineEdit;

namespace pexlora {

class GridViewModel;
class RefusalLabel;

// The content of the renumber popover: a field bound to the model's pending
// number text. Return commits, Tab commits and goes on to the next cell, Escape
// cancels; what each of those does is the canvas's. Return and Tab with a text
// the cell-number rule refuses say why under the field and leave the focus in it.
class RenumberPopoverPanel : public QWidget {
    Q_OBJECT

public:
    explicit RenumberPopoverPanel(GridViewModel& model, QWidget* parent = nullptr);

    QLineEdit* field() const { return m_field; }
    RefusalLabel* refusal() const { return m_refusal; }

signals:
    void commitRequested();
    void tabRequested();
    void cancelRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows why the field's text is refused, or hides the reason; whether it was.
    bool refuse();

    QPointer<GridViewModel> m_model;
    QLineEdit* m_field;
    RefusalLabel* m_refusal;
};

} // namespace pexlora
