// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCTimeTag.h"
#include "osc/OSCValueToken.h"
#include "osc/SmallVector.h"

#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace pexlora {

struct OSCValue;

// Ordered values of any kind, arrays included; written between "[" and "]".
struct OSCArrayValue {
    std::vector<OSCValue> elements;

    friend bool operator==(const OSCArrayValue& a, const OSCArrayValue& b);
};

struct OSCImpulseValue {
    friend bool operator==(OSCImpulseValue, OSCImpulseValue) = default;
};

struct OSCNullValue {
    friend bool operator==(OSCNullValue, OSCNullValue) = default;
};

struct OSCMIDIValue {
    std::uint8_t portID = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;

    friend bool operator==(OSCMIDIValue, OSCMIDIValue) = default;
};

// Text written with the tag "S" instead of "s".
struct OSCStringAltValue {
    std::string string;

    friend bool operator==(const OSCStringAltValue&, const OSCStringAltValue&) = default;
};

// One user-perceived character in UTF-8; written as the code of its ASCII stand-in.
struct Character {
    std::string text;

    friend bool operator==(const Character&, const Character&) = default;
};

// Blobs in control messages are short; up to 16 bytes are held without an allocation.
using Blob = SmallVector<std::uint8_t, 16>;

// The fourteen kinds in registry order. The order matters: the decoder tries the
// kinds in it, and `kindIndex` below follows it.
using OSCValueVariant =
    std::variant<std::int32_t, float, std::string, Blob, bool, Character, double, std::int64_t,
                 OSCImpulseValue, OSCMIDIValue, OSCNullValue, OSCStringAltValue, OSCTimeTag, OSCArrayValue>;

struct OSCValue : OSCValueVariant {
    using OSCValueVariant::OSCValueVariant;
    // Int32 0: the place a decoder then builds a value in. Not defaulted, so that making
    // one sets the alternative alone instead of first zeroing all of the storage.
    OSCValue() noexcept
        : OSCValueVariant(std::in_place_index<0>, 0) {}
    OSCValue(const char* text)
        : OSCValueVariant(std::in_place_type<std::string>, text) {}

    const OSCValueVariant& variant() const { return *this; }
};

// A message's values; most messages carry a handful, held without an allocation.
using OSCValues = SmallVector<OSCValue, 6>;

inline bool operator==(const OSCArrayValue& a, const OSCArrayValue& b) {
    return a.elements == b.elements;
}

OSCValueToken token(const OSCValue& value);

// Text forms for logs: numbers in decimal (floats with a fraction part, as "2.0"),
// texts and characters quoted, blobs as "N bytes", "Impulse", "Null", MIDI with its
// four bytes in hexadecimal, time tags as OSCTimeTag::description.
std::string description(const OSCValue& value);
std::string description(std::span<const OSCValue> values); // [a, b, …]
std::string description(const OSCMIDIValue& midi);
// Appends one character of a text as a log shows it inside quotes: a quote or a
// backslash escaped, and control characters written as escapes, so that a text sent
// from outside can neither end the quotes nor move a terminal's cursor.
void appendEscaped(std::string& out, char c);

} // namespace pexlora
