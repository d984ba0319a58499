// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCEncodeError.h"
#include "osc/OSCValue.h"
#include "util/Result.h"

#include <cstdint>
#include <span>
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

// What a value adds to a message: tag characters and chunk bytes.
struct OSCValueSize {
    std::size_t tags = 0;
    std::size_t bytes = 0;
};

// Measures a value before anything is written, so that a message is laid out in one
// buffer of the right size; fails when the value cannot be written at all (arrays
// nested too deep, a blob too long for its length field).
Result<OSCValueSize, OSCEncodeError> oscValueSize(const OSCValue& value, int depth = 0);

// Writes the value's tags at `tags` and its chunk at `chunk`, advancing both, into
// space that oscValueSize measured; nothing can fail here.
void writeOSCValue(const OSCValue& value, char*& tags, std::uint8_t*& chunk);

// Appends a whole message: the address, the tag string and the values' chunks, measured
// first and written into one resize of `out`. On failure `out` is left as it was.
Result<Unit, OSCEncodeError> appendOSCMessage(std::vector<std::uint8_t>& out,
                                              std::span<const std::uint8_t> address,
                                              std::span<const OSCValue> values);

// A length as the 4-byte signed field that precedes blobs and bundle elements.
Result<std::int32_t, OSCEncodeError> oscLengthField(std::size_t length, const char* what);

} // namespace detail
} // namespace pexlora
