// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/QuickRenumberPanel.h"

#include "model/GridViewModel.h"
#include "widgets/PlainLabel.h"
#include "widgets/TextStyles.h"

#include <QHBoxLayout>
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

} // namespace

QuickRenumberPanel::QuickRenumberPanel(GridViewModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_next(new QLineEdit(this))
    , m_increment(new QLineEdit(this))
    , m_reset(new QPushButton(tr("Reset"), this)) {
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
    stack->addLayout(fieldRow(tr("Increment:"), m_increment, this));

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
    connect(model, &GridViewModel::quickRenumberNextChanged, this,
            [this] { display(m_next, m_model->quickRenumberNext()); });
    connect(model, &GridViewModel::quickRenumberIncrementChanged, this,
            [this] { display(m_increment, m_model->quickRenumberIncrement()); });
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

void QuickRenumberPanel::display(QLineEdit* field, const QString& text) {
    if (field->text() != text)
        field->setText(text);
}

} // namespace pexlora
