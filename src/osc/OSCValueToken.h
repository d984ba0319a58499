// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace pexlora {

// What a value is, or what a caller expects it to be. The second sixteen cases
// say that the value may also be missing.
enum class OSCValueToken : std::uint8_t {
    blob,
    float32,
    int32,
    string,
    array,
    bool_, // "bool": a keyword in C++
    character,
    double_, // "double": likewise
    int64,
    impulse,
    midi,
    null,
    stringAlt,
    timeTag,
    number,
    numberOrBool,
    blobOptional,
    float32Optional,
    int32Optional,
    stringOptional,
    arrayOptional,
    boolOptional,
    characterOptional,
    doubleOptional,
    int64Optional,
    impulseOptional,
    midiOptional,
    nullOptional,
    stringAltOptional,
    timeTagOptional,
    numberOptional,
    numberOrBoolOptional,
};

constexpr int oscValueTokenCount = 32;

constexpr bool isOptional(OSCValueToken token) {
    return static_cast<int>(token) >= 16;
}

// The token without its Optional suffix.
constexpr OSCValueToken required(OSCValueToken token) {
    return isOptional(token) ? static_cast<OSCValueToken>(static_cast<int>(token) - 16) : token;
}

// The token's name ("int32", "bool", "boolOptional", ...) for messages and logs.
std::string oscValueTokenName(OSCValueToken token);

} // namespace pexlora
