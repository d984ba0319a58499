// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QDoubleSpinBox;
class QRadioButton;

namespace pexlora {

// How File ▸ New Layout from Console Patch… lays the channels out.
struct PatchArrangement {
    // By number, ten to a row; or as the rig is hung, from the desk's fixture positions.
    bool asHung = false;
    // As hung: fixtures closer than this many metres fall into neighbouring cells.
    double spacing = 0.5;

    friend bool operator==(const PatchArrangement&, const PatchArrangement&) = default;
};

// The question put before a console's patch is read: in channel order or as hung,
// and at what spacing. The last answer is offered again.
class PatchArrangementDialog : public QDialog {
    Q_OBJECT

public:
    explicit PatchArrangementDialog(PatchArrangement offered, QWidget* parent = nullptr);

    PatchArrangement arrangement() const;

private:
    QRadioButton* m_channelOrder;
    QRadioButton* m_asHung;
    QDoubleSpinBox* m_spacing;
};

} // namespace pexlora
