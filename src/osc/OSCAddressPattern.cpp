#include "osc/OSCAddressPattern.h"

#include "osc/ASCIIString.h"
#include "osc/LatinASCII.h"

namespace pexlora {

OSCAddressPattern::OSCAddressPattern(std::string_view text) {
    if (detail::isASCII(text))
        m_address.assign(text);
    else
        m_address = ASCIIString::lossy(text).stringValue();
}

OSCAddressPattern::OSCAddressPattern(std::string text) {
    if (detail::isASCII(text))
        m_address = std::move(text);
    else
        m_address = ASCIIString::lossy(text).stringValue();
}

OSCAddressPattern OSCAddressPattern::fromComponents(const std::vector<std::string>& components) {
    std::string text = "/";
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i > 0)
            text += '/';
        text += components[i];
    }
    return OSCAddressPattern(std::move(text));
}

} // namespace pexlora
