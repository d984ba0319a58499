// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/PlainLabel.h"

namespace pexlora {

// A caption in the desktop's secondary text colour, which it takes again
// whenever the palette changes, as it does when the desktop turns dark. Its text
// is shown as given, as every label's is.
class SecondaryLabel : public PlainLabel {
    Q_OBJECT

public:
    explicit SecondaryLabel(const QString& text = QString(), QWidget* parent = nullptr);
};

} // namespace pexlora
