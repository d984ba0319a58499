// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/OSCAddressPattern.h"

#include "osc/ASCIIString.h"

namespace pexlora {

void OSCAddressPattern::assignLossy(std::string_view text) {
    const std::string& lossy = ASCIIString::lossy(text).stringValue();
    m_address.assign(lossy.begin(), lossy.end());
}

OSCAddressPattern OSCAddressPattern::fromComponents(const std::vector<std::string>& components) {
    std::string text = "/";
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i > 0)
            text += '/';
        text += components[i];
    }
    return OSCAddressPattern(text);
}

} // namespace pexlora
