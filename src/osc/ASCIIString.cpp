#include "osc/ASCIIString.h"

#include "osc/LatinASCII.h"

namespace pexlora {

namespace detail {

namespace {

int hexDigit(std::uint8_t c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isOctal(std::uint8_t c) {
    return c >= '0' && c <= '7';
}

} // namespace

std::optional<std::string> decodeNonLossyASCII(std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!isASCII(text))
        return std::nullopt;
    if (text.find('\\') == std::string_view::npos)
        return std::string(text);

    std::string out;
    out.reserve(bytes.size());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        const std::uint8_t c = bytes[i];
        if (c != '\\') {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        if (i + 1 < n && bytes[i + 1] == '\\') {
            out.push_back('\\');
            i += 2;
        } else if (i + 5 < n && bytes[i + 1] == 'u' && hexDigit(bytes[i + 2]) >= 0 &&
                   hexDigit(bytes[i + 3]) >= 0 && hexDigit(bytes[i + 4]) >= 0 &&
                   hexDigit(bytes[i + 5]) >= 0) {
            const int code = hexDigit(bytes[i + 2]) << 12 | hexDigit(bytes[i + 3]) << 8 |
                             hexDigit(bytes[i + 4]) << 4 | hexDigit(bytes[i + 5]);
            if (code >= 0x80)
                return std::nullopt;
            out.push_back(static_cast<char>(code));
            i += 6;
        } else if (i + 3 < n && isOctal(bytes[i + 1]) && isOctal(bytes[i + 2]) && isOctal(bytes[i + 3])) {
            const int code = (bytes[i + 1] - '0') << 6 | (bytes[i + 2] - '0') << 3 | (bytes[i + 3] - '0');
            if (code >= 0x80)
                return std::nullopt;
            out.push_back(static_cast<char>(code));
            i += 4;
        } else {
            out.push_back('\\');
            ++i;
        }
    }
    return out;
}

} // namespace detail

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
