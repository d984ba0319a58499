// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/QuickRenumberPanel.h"

#include "canvas/NumberRefusal.h"
#include "model/Decimal.h"
#include "model/GridViewModel.h"
#include "widgets/PlainLabel.h"
#include "widgets/RefusalLabel.h"
#include "widgets/TextStyles.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace pexlora {

namespace {

QHBoxLayout* fieldRow(const QString& title, QLineEdit* field, QWidget* parent) {
    auto* label = new PlainLabel(title, parent);
    label->setFixedWidth(75);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setBuddy(field);
    field->setPlaceholderText(QStringLiteral("1"));
    field->setFixedWidth(100);
    auto* row = new QHBoxLayout;
    row->addWidget(label, 0, Qt::AlignVCenter);
    row->addWidget(field, 0, Qt::AlignVCenter);
    row->addStretch();
    return row;
}

// A blank field stands for the 1 it shows greyed; other text the model cannot
// read it also takes as 1, which the user did not type.
std::optional<NumberTextProblem> readingProblem(const QString& text) {
    if (text.trimmed().isEmpty() || readDecimal(text))
        return std::nullopt;
    return NumberTextProblem::notDigits;
}

std::optional<NumberTextProblem> nextProblem(const QString& text) {
    if (text.trimmed().isEmpty())
        return std::nullopt;
    if (const auto unread = readingProblem(text))
        return unread;
    return numberTextProblem(GridViewModel::quickRenumberNumber(text));
}

void sayWhy(RefusalLabel* label, std::optional<NumberTextProblem> problem) {
    label->setReason(problem ? numberRefusal(*problem) : QString());
}

} // namespace

QuickRenumberPanel::QuickRenumberPanel(GridViewModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_next(new QLineEdit(this))
    , m_increment(new QLineEdit(this))
    , m_reset(new QPushButton(tr("Reset"), this))
    , m_nextRefusal(new RefusalLabel(this))
    , m_incrementRefusal(new RefusalLabel(this)) {
    auto* stack = new QVBoxLayout(this);
    const int inset = style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    stack->setContentsMargins(inset, inset, inset, inset);
    stack->setSpacing(10);
    setFixedWidth(220);

    auto* title = new PlainLabel(tr("Quick Renumber"), this);
    title->setFont(headlineFont(font()));
    stack->addWidget(title);
    m_next->setAccessibleName(tr("Next number"));
    m_increment->setAccessibleName(tr("Increment"));
    stack->addLayout(fieldRow(tr("Next:"), m_next, this));
    stack->addWidget(m_nextRefusal);
    stack->addLayout(fieldRow(tr("Increment:"), m_increment, this));
    stack->addWidget(m_incrementRefusal);
    for (QLineEdit* field : {m_next, m_increment})
        field->installEventFilter(this);

    m_reset->setFlat(true);
    m_reset->setFont(captionFont(font()));
    m_reset->setCursor(Qt::PointingHandCursor);
    auto* resetRow = new QHBoxLayout;
    resetRow->addStretch();
    resetRow->addWidget(m_reset);
    stack->addLayout(resetRow);
    setFocusProxy(m_next);

    display(m_next, model->quickRenumberNext());
    display(m_increment, model->quickRenumberIncrement());
    refuse();
    // Also when a click moves Next on past what a cell can be given.
    connect(model, &GridViewModel::quickRenumberNextChanged, this, [this] {
        display(m_next, m_model->quickRenumberNext());
        refuse();
    });
    connect(model, &GridViewModel::quickRenumberIncrementChanged, this, [this] {
        display(m_increment, m_model->quickRenumberIncrement());
        refuse();
    });
    connect(m_next, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_model)
            m_model->setQuickRenumberNext(text);
    });
    connect(m_increment, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_model)
            m_model->setQuickRenumberIncrement(text);
    });
    // Only the next number starts again; the step stays as the user set it.
    connect(m_reset, &QPushButton::clicked, this, [this] {
        if (m_model)
            m_model->setQuickRenumberNext(QStringLiteral("1"));
    });
}

bool QuickRenumberPanel::refuse(const QLineEdit* field) {
    const auto next = nextProblem(m_next->text());
    const auto increment = readingProblem(m_increment->text());
    sayWhy(m_nextRefusal, next);
    sayWhy(m_incrementRefusal, increment);
    return (field == m_next && next) || (field == m_increment && increment);
}

bool QuickRenumberPanel::eventFilter(QObject* watched, QEvent* event) {
    // Ahead of focus handling, which would take Tab away from a refused text.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool leaving =
            key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return || key == Qt::Key_Enter;
        if (leaving && refuse(qobject_cast<const QLineEdit*>(watched)))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void QuickRenumberPanel::display(QLineEdit* field, const QString& text) {
    if (field->text() != text)
        field->setText(text);
}

} // namespace pexlora
