// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/RenumberPopoverPanel.h"

#include "canvas/NumberRefusal.h"
#include "model/GridViewModel.h"
#include "widgets/PlainLabel.h"
#include "widgets/RefusalLabel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace pexlora {

using namespace Qt::StringLiterals;

RenumberPopoverPanel::RenumberPopoverPanel(GridViewModel& model, QWidget* parent)
    : QWidget(parent)
    , m_model(&model)
    , m_field(new QLineEdit(this))
    , m_refusal(new RefusalLabel(this)) {
    auto* title = new PlainLabel(tr("Renumber"), this);
    QFont headline = title->font();
    headline.setBold(true);
    title->setFont(headline);

    m_field->setPlaceholderText(tr("Number"));
    m_field->setFixedWidth(120);
    m_field->setText(model.editingElementText());
    m_field->selectAll();
    m_field->installEventFilter(this);
    setFocusProxy(m_field);

    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(8);
    layout->addWidget(title);
    layout->addWidget(m_field);
    layout->addWidget(m_refusal);
    m_refusal->setFixedWidth(m_field->width());

    // The pending text lives in the model, so the canvas decides what to do with it.
    connect(m_field, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_model)
            m_model->setEditingElementText(text);
        // A reason once given follows the typing, and goes when the text passes.
        if (!m_refusal->isHidden())
            refuse();
    });
    connect(&model, &GridViewModel::editingElementTextChanged, this, [this] {
        if (m_model && m_field->text() != m_model->editingElementText())
            m_field->setText(m_model->editingElementText());
    });
}

bool RenumberPopoverPanel::eventFilter(QObject* watched, QEvent* event) {
    // Ahead of the field and of focus handling, which would take Tab, and of the
    // popup, which would close on Escape and so commit.
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!refuse())
                emit commitRequested();
            return true;
        case Qt::Key_Tab:
            if (!refuse())
                emit tabRequested();
            return true;
        case Qt::Key_Escape:
            emit cancelRequested();
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool RenumberPopoverPanel::refuse() {
    const std::optional<NumberTextProblem> problem = numberTextProblem(m_field->text());
    m_refusal->setReason(problem ? numberRefusal(*problem) : QString());
    return problem.has_value();
}

} // namespace pexlora
