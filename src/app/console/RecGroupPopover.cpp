// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/RecGroupPopover.h"

#include "eos/EosCommandLines.h"
#include "eos/EosGroupDirectory.h"
#include "widgets/PlainLabel.h"
#include "widgets/SecondaryLabel.h"
#include "widgets/TextStyles.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pexlora {

namespace {

constexpr qsizetype maxShownLabel = 40;

} // namespace

RecGroupPopover::RecGroupPopover(EosGroupDirectory* groups, QWidget* parent)
    : QWidget(parent)
    , m_groups(groups)
    , m_field(new QLineEdit(this))
    , m_line(new SecondaryLabel(QString(), this))
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
    m_line->setWordWrap(true);
    m_line->setFixedWidth(fieldWidth + 60);
    stack->addWidget(m_line, 0, Qt::AlignLeft);

    m_record->setDefault(true);
    stack->addWidget(m_record, 0, Qt::AlignLeft);
    setFocusProxy(m_field);

    connect(m_field, &QLineEdit::textEdited, this, [this](const QString& text) {
        m_replacing.clear();
        updateButton();
        emit textEdited(text);
    });
    if (m_groups) {
        connect(m_groups, &EosGroupDirectory::changed, this, &RecGroupPopover::updateButton);
        connect(m_groups, &EosGroupDirectory::statusChanged, this, &RecGroupPopover::updateButton);
    }
    connect(m_field, &QLineEdit::returnPressed, this, &RecGroupPopover::submitIfValid);
    connect(m_record, &QPushButton::clicked, this, &RecGroupPopover::submitIfValid);
    updateButton();
}

QString RecGroupPopover::text() const {
    return m_field->text();
}

void RecGroupPopover::setText(const QString& text) {
    m_field->setText(text);
    m_replacing.clear();
    updateButton();
}

void RecGroupPopover::submitIfValid() {
    // The number goes into an OSC address as it stands, so nothing else may pass.
    const QString number = m_field->text();
    if (!isValidGroupNumber(number))
        return;
    // The show's group is not replaced before the user has seen that it exists.
    if (m_groups && m_groups->find(number) && m_replacing != number) {
        m_replacing = number;
        updateButton();
        return;
    }
    emit submitted();
}

void RecGroupPopover::updateButton() {
    const QString number = m_field->text();
    const bool valid = isValidGroupNumber(number);
    m_record->setEnabled(valid);
    const bool replacing = valid && m_replacing == number && m_groups && m_groups->find(number);
    m_record->setText(replacing ? tr("Replace Group %1").arg(number) : tr("Record Group"));
    showGroup();
}

void RecGroupPopover::showGroup() {
    const QString number = m_field->text();
    QString line;
    if (!isValidGroupNumber(number))
        line.clear();
    else if (!m_groups || m_groups->status() == EosGroupDirectory::Status::off ||
             m_groups->status() == EosGroupDirectory::Status::unreadable)
        line = tr("The desk's groups could not be read");
    else if (const EosGroup* group = m_groups->find(number)) {
        const QString count =
            group->channels.size() == 1 ? tr("1 channel") : tr("%L1 channels").arg(group->channels.size());
        QString label = group->label;
        if (label.size() > maxShownLabel)
            label = label.left(maxShownLabel) + u'…';
        line = label.isEmpty() ? tr("Replaces group %1 (%2)").arg(number, count)
                               : tr("Replaces group %1 “%2” (%3)").arg(number, label, count);
    } else if (m_groups->status() == EosGroupDirectory::Status::reading)
        line = tr("Reading the desk's groups…");
    else
        line = tr("Group %1 is free").arg(number);
    m_line->setText(line);
    m_line->setVisible(!line.isEmpty());
}

} // namespace pexlora
