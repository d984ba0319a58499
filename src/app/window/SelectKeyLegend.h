// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ModelTypes.h"

#include <QPointer>
#include <QWidget>
#include <vector>

namespace pexlora {

class GridViewModel;
class KeyChip;

// Tells, in select mode, which modifier key orders a marquee how. The chips take
// the marquee's colours for the same keys. Where the desktop keeps a key for
// itself (Super or Alt with a drag moves windows), a click on its chip latches
// that order for the following marquees until it is clicked again or Escape is
// pressed on the canvas; a key held still wins while it is held.
class SelectKeyLegend : public QWidget {
    Q_OBJECT

public:
    explicit SelectKeyLegend(GridViewModel* model = nullptr, QWidget* parent = nullptr);

    QList<KeyChip*> chips() const;

private:
    struct Chip {
        KeyChip* chip;
        MarqueeModifier order;
        QString spoken; // "Alt selects columns"
    };

    void showLatched();

    QPointer<GridViewModel> m_model;
    std::vector<Chip> m_chips;
};

} // namespace pexlora
