// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/RecGroupPopover.h"

#include "eos/EosCommandLines.h"
#include "widgets/PlainLabel.h"
#include "widgets/TextStyles.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pexlora {

RecGroupPopover::RecGroupPopover(QWidget* parent)
    : QWidget(parent)
    , m_field(new QLineEdit(this))
    , m_record(new QPushButton(tr("Record Group"), this)) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(14, 14, 14, 14);
    stack->setSpacing(10);

    auto* title = new PlainLabel(tr("Group Number"), this);
    title->setFont(headlineFont(font()));
    stack->addWidget(title, 0, Qt::AlignLeft);

    // The range of group numbers, written as the reader's language writes one.
    m_field->setPlaceholderText(tr("1–99999.999"));
    m_field->setAccessibleName(tr("Group Number"));
    m_field->setFixedWidth(fieldWidth);
    title->setBuddy(m_field);
    stack->addWidget(m_field, 0, Qt::AlignLeft);

    m_record->setDefault(true);
    stack->addWidget(m_record, 0, Qt::AlignLeft);
    setFocusProxy(m_field);

    connect(m_field, &QLineEdit::textEdited, this, [this](const QString& text) {
        updateButton();
        emit textEdited(text);
    });
    connect(m_field, &QLineEdit::returnPressed, this, &RecGroupPopover::submitIfValid);
    connect(m_record, &QPushButton::clicked, this, &RecGroupPopover::submitIfValid);
    updateButton();
}

QString RecGroupPopover::text() const {
    return m_field->text();
}

void RecGroupPopover::setText(const QString& text) {
    m_field->setText(text);
    updateButton();
}

void RecGroupPopover::submitIfValid() {
    // The number goes into an OSC address as it stands, so nothing else may pass.
    if (isValidGroupNumber(m_field->text()))
        emit submitted();
}

void RecGroupPopover::updateButton() {
    m_record->setEnabled(isValidGroupNumber(m_field->text()));
}

} // namespace pexlora
