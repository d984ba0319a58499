#include "osc/OSCAddressPattern.h"

#include "osc/ASCIIString.h"
#include "osc/LatinASCII.h"

namespace pexlora {

void OSCAddressPattern::assign(std::string_view text) {
    if (detail::isASCII(text)) {
        m_address.assign(text.begin(), text.end());
    } else {
        const std::string& lossy = ASCIIString::lossy(text).stringValue();
        m_address.assign(lossy.begin(), lossy.end());
    }
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
