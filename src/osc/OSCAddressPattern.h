// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/LatinASCII.h"
#include "osc/SmallVector.h"

#include <cassert>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pexlora {

// The address of a message. Never refused: the text is kept as given when it is ASCII
// (control characters included), otherwise replaced by its printable ASCII stand-in.
// It is not split, validated or normalised.
class OSCAddressPattern {
public:
    OSCAddressPattern() = default;
    OSCAddressPattern(std::string_view text) { assign(text); }
    OSCAddressPattern(const char* text)
        : OSCAddressPattern(std::string_view(text)) {}
    OSCAddressPattern(const std::string& text)
        : OSCAddressPattern(std::string_view(text)) {}

    // "/" followed by the components joined with "/"; no components give "/".
    static OSCAddressPattern fromComponents(const std::vector<std::string>& components);

    // Replaces the address as the constructor would make it, reusing the storage.
    void assign(std::string_view text) {
        if (detail::isASCII(text))
            assignASCII(text);
        else
            assignLossy(text);
    }
    // The same for text known to be ASCII, as every decoded string is: kept as it is.
    void assignASCII(std::string_view text) {
        assert(detail::isASCII(text));
        m_address.assign(text.begin(), text.end());
    }

    std::string_view rawAddress() const { return {m_address.data(), m_address.size()}; }
    // The ASCII bytes of rawAddress, without a terminator.
    std::span<const std::uint8_t> rawData() const {
        return {reinterpret_cast<const std::uint8_t*>(m_address.data()), m_address.size()};
    }

    friend bool operator==(const OSCAddressPattern&, const OSCAddressPattern&) = default;

private:
    void assignLossy(std::string_view text);

    // Addresses are almost always short paths, held without an allocation.
    SmallVector<char, 48> m_address;
};

} // namespace pexlora
