// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/document/PatchArrangementDialog.h"

#include "widgets/PlainLabel.h"
#include "widgets/SecondaryLabel.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pexlora {

PatchArrangementDialog::PatchArrangementDialog(PatchArrangement offered, QWidget* parent)
    : QDialog(parent)
    , m_channelOrder(new QRadioButton(tr("In &channel order"), this))
    , m_asHung(new QRadioButton(tr("As &hung"), this))
    , m_spacing(new QDoubleSpinBox(this)) {
    setWindowTitle(tr("New Layout from Console Patch"));
    m_channelOrder->setObjectName(QStringLiteral("channelOrder"));
    m_asHung->setObjectName(QStringLiteral("asHung"));
    m_spacing->setObjectName(QStringLiteral("spacing"));
    m_spacing->setRange(0.1, 10.0);
    m_spacing->setSingleStep(0.1);
    m_spacing->setDecimals(2);
    m_spacing->setSuffix(tr(" m"));
    m_spacing->setValue(offered.spacing);
    (offered.asHung ? m_asHung : m_channelOrder)->setChecked(true);

    auto* spacingRow = new QHBoxLayout;
    spacingRow->setContentsMargins(24, 0, 0, 0);
    auto* spacingLabel = new PlainLabel(tr("Fixtures closer than"), this);
    spacingRow->addWidget(spacingLabel);
    spacingRow->addWidget(m_spacing);
    spacingRow->addWidget(new PlainLabel(tr("take neighbouring cells"), this));
    spacingRow->addStretch();
    const auto enableSpacing = [this, spacingLabel] {
        m_spacing->setEnabled(m_asHung->isChecked());
        spacingLabel->setEnabled(m_asHung->isChecked());
    };
    connect(m_asHung, &QRadioButton::toggled, this, enableSpacing);
    enableSpacing();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Read Patch"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new PlainLabel(tr("Lay the console's channels out:"), this));
    layout->addWidget(m_channelOrder);
    layout->addWidget(new SecondaryLabel(tr("Ten to a row by number, each hundred in a block of its own."), this));
    layout->addWidget(m_asHung);
    layout->addWidget(
        new SecondaryLabel(tr("Seen from above, upstage at the top, from the console's rig positions."), this));
    layout->addLayout(spacingRow);
    layout->addWidget(buttons);
}

PatchArrangement PatchArrangementDialog::arrangement() const {
    return {m_asHung->isChecked(), m_spacing->value()};
}

} // namespace pexlora
