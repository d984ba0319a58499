// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/OSCEncodeError.h"

namespace pexlora {

std::string OSCEncodeError::description() const {
    switch (kind) {
    case Case::general:
        return "Encoding error: " + text;
    case Case::valueEncodingError:
        return "OSC value encoding error: " + text;
    case Case::internalInconsistency:
        return "Internal inconsistency: " + text;
    }
    return text;
}

} // namespace pexlora
