// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/NonLossyText.h"

#include "osc/LatinASCII.h"

#include <string_view>
#include <unicode/utf8.h>

namespace pexlora::detail {

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

struct Escape {
    std::int32_t code;
    std::size_t length;
};

// The escape at bytes[i], a backslash; nothing when the backslash stands for itself.
std::optional<Escape> escapeAt(std::span<const std::uint8_t> bytes, std::size_t i) {
    const std::size_t n = bytes.size();
    if (i + 1 < n && bytes[i + 1] == '\\')
        return Escape{'\\', 2};
    if (i + 5 < n && bytes[i + 1] == 'u' && hexDigit(bytes[i + 2]) >= 0 && hexDigit(bytes[i + 3]) >= 0 &&
        hexDigit(bytes[i + 4]) >= 0 && hexDigit(bytes[i + 5]) >= 0)
        return Escape{hexDigit(bytes[i + 2]) << 12 | hexDigit(bytes[i + 3]) << 8 |
                          hexDigit(bytes[i + 4]) << 4 | hexDigit(bytes[i + 5]),
                      6};
    if (i + 3 < n && isOctal(bytes[i + 1]) && isOctal(bytes[i + 2]) && isOctal(bytes[i + 3]))
        return Escape{(bytes[i + 1] - '0') << 6 | (bytes[i + 2] - '0') << 3 | (bytes[i + 3] - '0'), 4};
    return std::nullopt;
}

void appendUTF8(std::string& out, std::uint32_t code) {
    if (code >= 0xD800 && code <= 0xDFFF)
        code = 0xFFFD;
    const auto put = [&out](std::uint32_t byte) { out.push_back(static_cast<char>(byte)); };
    if (code < 0x80) {
        put(code);
    } else if (code < 0x800) {
        put(0xC0 | code >> 6);
        put(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        put(0xE0 | code >> 12);
        put(0x80 | (code >> 6 & 0x3F));
        put(0x80 | (code & 0x3F));
    } else {
        put(0xF0 | code >> 18);
        put(0x80 | (code >> 12 & 0x3F));
        put(0x80 | (code >> 6 & 0x3F));
        put(0x80 | (code & 0x3F));
    }
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
    for (std::size_t i = 0; i < bytes.size();) {
        const auto escape = bytes[i] == '\\' ? escapeAt(bytes, i) : std::nullopt;
        if (!escape) {
            out.push_back(static_cast<char>(bytes[i]));
            ++i;
            continue;
        }
        if (escape->code >= 0x80)
            return std::nullopt;
        out.push_back(static_cast<char>(escape->code));
        i += escape->length;
    }
    return out;
}

std::string decodeNonLossyUTF8(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size());
    // Strings come from one packet, far shorter than ICU's 32-bit offsets reach.
    const auto n = static_cast<std::int32_t>(bytes.size());
    for (std::int32_t i = 0; i < n;) {
        const std::uint8_t byte = bytes[static_cast<std::size_t>(i)];
        if (byte == '\\') {
            if (const auto escape = escapeAt(bytes, static_cast<std::size_t>(i))) {
                appendUTF8(out, static_cast<std::uint32_t>(escape->code));
                i += static_cast<std::int32_t>(escape->length);
                continue;
            }
        }
        if (byte < 0x80) {
            out.push_back(static_cast<char>(byte));
            ++i;
            continue;
        }
        UChar32 code = 0;
        U8_NEXT_OR_FFFD(bytes.data(), i, n, code);
        appendUTF8(out, static_cast<std::uint32_t>(code)); // never negative: ill-formed reads as U+FFFD
    }
    return out;
}

} // namespace pexlora::detail
