// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/ASCIIString.h"

#include "osc/LatinASCII.h"
#include "osc/NonLossyText.h"

namespace pexlora {

std::optional<ASCIIString> ASCIIString::exact(std::string_view text) {
    if (!detail::isASCII(text))
        return std::nullopt;
    return ASCIIString(std::string(text));
}

ASCIIString ASCIIString::lossy(std::string_view text) {
    if (detail::isASCII(text))
        return ASCIIString(std::string(text));
    std::string printable = detail::printableASCII(text);
    if (!detail::isASCII(printable))
        printable.clear();
    return ASCIIString(std::move(printable));
}

std::optional<ASCIIString> ASCIIString::fromBytes(std::span<const std::uint8_t> bytes) {
    std::optional<std::string> text = detail::decodeNonLossyASCII(bytes);
    if (!text)
        return std::nullopt;
    return ASCIIString(std::move(*text));
}

std::string ASCIIString::description() const {
    return "ASCIIString(\"" + m_text + "\")";
}

ASCIICharacter ASCIICharacter::lossy(std::string_view character) {
    if (character.starts_with("\r\n"))
        return ASCIICharacter('\n');
    if (character.size() == 1 && static_cast<unsigned char>(character[0]) < 0x80)
        return ASCIICharacter(static_cast<std::uint8_t>(character[0]));
    const std::string printable = detail::printableASCII(character);
    if (printable.empty())
        return ASCIICharacter('?');
    const auto first = static_cast<unsigned char>(printable[0]);
    return ASCIICharacter(first < 0x80 ? first : '?');
}

std::optional<ASCIICharacter> ASCIICharacter::fromByte(std::uint8_t byte) {
    if (byte >= 0x80)
        return std::nullopt;
    return ASCIICharacter(byte);
}

} // namespace pexlora
