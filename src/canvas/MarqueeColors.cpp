// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/MarqueeColors.h"

namespace pexlora {

SystemColorRole marqueeColorRole(MarqueeModifier modifier) {
    switch (modifier) {
    case MarqueeModifier::option:
        return &SystemColors::green;
    case MarqueeModifier::command:
        return &SystemColors::orange;
    case MarqueeModifier::shift:
        return &SystemColors::purple;
    case MarqueeModifier::control:
        return &SystemColors::cyan;
    case MarqueeModifier::none:
        break;
    }
    return &SystemColors::accent;
}

} // namespace pexlora
