// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/OSCDecodeError.h"

namespace pexlora {

std::string OSCDecodeError::description() const {
    switch (kind) {
    case Case::malformed:
        return "Malformed data: " + text;
    case Case::unexpectedType:
        return "Unexpected OSC Type Tag: " + text;
    case Case::valueDecodingError:
        return "OSC value decoding error: " + text;
    case Case::internalInconsistency:
        return "Internal inconsistency: " + text;
    }
    return text;
}

} // namespace pexlora
