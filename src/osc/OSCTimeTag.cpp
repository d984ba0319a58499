// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/OSCTimeTag.h"

namespace pexlora {

std::string OSCTimeTag::description() const {
    if (rawValue == 1)
        return "1 (immediate)";
    if (era == 0)
        return std::to_string(rawValue);
    return std::to_string(rawValue) + "-era:" + std::to_string(era);
}

} // namespace pexlora
