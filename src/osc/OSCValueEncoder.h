#pragma once

#include "osc/OSCEncodeError.h"
#include "osc/OSCValue.h"
#include "util/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pexlora {

// Arrays and bundles nest at most this deep; deeper input is refused rather than
// left to exhaust the stack.
constexpr int oscMaxNestingDepth = 64;

// What one value adds to a message: its tag characters and its chunk bytes.
struct OSCValueEncoding {
    std::string tags;
    std::vector<std::uint8_t> chunk;

    friend bool operator==(const OSCValueEncoding&, const OSCValueEncoding&) = default;
};

Result<OSCValueEncoding, OSCEncodeError> encodeOSCValue(const OSCValue& value);

namespace detail {

// The number of tag characters `value` writes, or an error when it cannot be written:
// arrays nested too deep, or a blob too long for its length field.
Result<std::size_t, OSCEncodeError> oscTagCount(const OSCValue& value, int depth = 0);

// Writes the value's tags at `tags` (advancing it) and appends its chunk to `chunk`.
// The caller has checked the value with oscTagCount first, so nothing can fail here.
void appendOSCValue(const OSCValue& value, char*& tags, std::vector<std::uint8_t>& chunk);

// Appends the printable-ASCII form of a text and its one to four zero bytes.
void appendOSCString(std::vector<std::uint8_t>& out, const std::string& text);

// A length as the 4-byte signed field that precedes blobs and bundle elements.
Result<std::int32_t, OSCEncodeError> oscLengthField(std::size_t length, const char* what);

} // namespace detail
} // namespace pexlora
