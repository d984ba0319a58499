// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/OSCValueToken.h"

#include <array>

namespace pexlora {

std::string oscValueTokenName(OSCValueToken token) {
    static constexpr std::array<const char*, 16> names = {
        "blob",  "float32", "int32", "string", "array",     "bool",    "character", "double",
        "int64", "impulse", "midi",  "null",   "stringAlt", "timeTag", "number",    "numberOrBool",
    };
    std::string name = names[static_cast<std::size_t>(required(token))];
    if (isOptional(token))
        name += "Optional";
    return name;
}

} // namespace pexlora
