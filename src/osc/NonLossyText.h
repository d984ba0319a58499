// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pexlora::detail {

// Both read the non-lossy escapes: "\\" is a backslash, "\uXXXX" and "\ooo" (three octal
// digits) stand for one character each; any other backslash stands for itself.

// Nothing for any byte of 0x80 or above, or an escape that stands for a non-ASCII character.
std::optional<std::string> decodeNonLossyASCII(std::span<const std::uint8_t> bytes);
// Never fails: other bytes are read as UTF-8, each ill-formed sequence as one U+FFFD up to
// the first byte that cannot go on with it, as Unicode recommends; an escape beyond ASCII
// gives its character in UTF-8, or U+FFFD for a surrogate, half a character.
std::string decodeNonLossyUTF8(std::span<const std::uint8_t> bytes);

} // namespace pexlora::detail
