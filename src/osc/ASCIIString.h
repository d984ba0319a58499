// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pexlora {

// Text guaranteed to be 7-bit ASCII, the only text the codec writes or accepts.
// Texts are UTF-8 throughout; for ASCII the text and its bytes are the same.
class ASCIIString {
public:
    ASCIIString() = default;

    // Nothing unless the text passes the exact test (every character ASCII).
    static std::optional<ASCIIString> exact(std::string_view text);
    // The text itself when it passes the exact test, else its transliterated,
    // printable substitute (empty as a last resort). Never fails.
    static ASCIIString lossy(std::string_view text);
    // Bytes read as non-lossy ASCII (backslash escapes); nothing for any byte of 0x80 or above,
    // or an escape that stands for a non-ASCII character.
    static std::optional<ASCIIString> fromBytes(std::span<const std::uint8_t> bytes);

    const std::string& stringValue() const& { return m_text; }
    std::string stringValue() && { return std::move(m_text); }
    std::span<const std::uint8_t> rawData() const {
        return {reinterpret_cast<const std::uint8_t*>(m_text.data()), m_text.size()};
    }

    // ASCIIString("text")
    std::string description() const;

    friend bool operator==(const ASCIIString&, const ASCIIString&) = default;

private:
    explicit ASCIIString(std::string text)
        : m_text(std::move(text)) {}

    std::string m_text;
};

// One ASCII character, as written for the character kind and for tag characters.
class ASCIICharacter {
public:
    // Never fails: CR LF gives LF, ASCII gives itself, anything else its transliteration's
    // first character, or "?". `character` is one character in UTF-8.
    static ASCIICharacter lossy(std::string_view character);
    // The byte read as non-lossy ASCII: nothing unless it is below 0x80.
    static std::optional<ASCIICharacter> fromByte(std::uint8_t byte);

    char characterValue() const { return static_cast<char>(m_code); }
    std::uint8_t asciiValue() const { return m_code; }

    friend bool operator==(const ASCIICharacter&, const ASCIICharacter&) = default;

private:
    explicit ASCIICharacter(std::uint8_t code)
        : m_code(code) {}

    std::uint8_t m_code = 0;
};

} // namespace pexlora
