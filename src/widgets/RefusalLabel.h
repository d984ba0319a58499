// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/PlainLabel.h"

namespace pexlora {

// Says under a field why its text is refused, in a muted version of the
// desktop's red that it takes again when the palette changes. Hidden while
// there is nothing to say, so a panel keeps its size until something is wrong.
class RefusalLabel : public PlainLabel {
    Q_OBJECT

public:
    explicit RefusalLabel(QWidget* parent = nullptr);

    // An empty reason hides the label.
    void setReason(const QString& reason);
};

} // namespace pexlora
