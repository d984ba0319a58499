// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/OSCMessage.h"

namespace pexlora {

std::string OSCMessage::description() const {
    std::string text = "OSCMessage(\"" + std::string(addressPattern.rawAddress()) + "\"";
    if (!values.empty())
        text += ", values: " + pexlora::description(values);
    return text + ")";
}

} // namespace pexlora
