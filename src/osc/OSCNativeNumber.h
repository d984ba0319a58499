// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCDecodeError.h"
#include "osc/OSCEncodeError.h"
#include "osc/OSCValue.h"
#include "util/Result.h"

#include <concepts>
#include <cstdint>
#include <limits>
#include <string>

namespace pexlora {

// Native numbers that are not kinds of their own travel as one of the kinds:
// 8- and 16-bit integers as Int32, unsigned 32-bit as Int64, unsigned 64-bit as
// Int64 (below 2^63 only), long double as Double. The host-width signed integer is
// written as Int32, which it must fit; `oscValueFromHostInt` does that.
template <typename T>
concept OSCNativeNumber = std::same_as<T, std::int8_t> || std::same_as<T, std::int16_t> ||
    std::same_as<T, std::uint8_t> || std::same_as<T, std::uint16_t> || std::same_as<T, std::uint32_t> ||
    std::same_as<T, std::uint64_t> || std::same_as<T, long double>;

template <OSCNativeNumber T> Result<OSCValue, OSCEncodeError> oscValueFrom(T number) {
    if constexpr (std::same_as<T, long double>) {
        return OSCValue(static_cast<double>(number));
    } else if constexpr (sizeof(T) <= 2) {
        return OSCValue(static_cast<std::int32_t>(number));
    } else if constexpr (std::same_as<T, std::uint32_t>) {
        return OSCValue(static_cast<std::int64_t>(number));
    } else {
        if (number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            return fail(
                OSCEncodeError::valueEncodingError("Unsigned integer " + std::to_string(number) +
                                                   " is 2^63 or more and cannot be written as Int64."));
        return OSCValue(static_cast<std::int64_t>(number));
    }
}

inline Result<OSCValue, OSCEncodeError> oscValueFromHostInt(std::intptr_t number) {
    if (number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max())
        return fail(OSCEncodeError::valueEncodingError("Integer " + std::to_string(number) +
                                                       " does not fit into the 32 bits of Int32."));
    return OSCValue(static_cast<std::int32_t>(number));
}

// The way back, for callers that want a narrower type than the kind decoded. A value of
// the wrong kind, or one that does not fit, is a `valueDecodingError`.
template <OSCNativeNumber T> Result<T, OSCDecodeError> nativeNumber(const OSCValue& value) {
    if constexpr (std::same_as<T, long double>) {
        if (const auto* d = std::get_if<double>(&value))
            return static_cast<long double>(*d);
        return fail(OSCDecodeError::valueDecodingError("Expected a Double value."));
    } else if constexpr (sizeof(T) <= 2) {
        const auto* i = std::get_if<std::int32_t>(&value);
        if (!i)
            return fail(OSCDecodeError::valueDecodingError("Expected an Int32 value."));
        if (*i < std::numeric_limits<T>::min() || *i > std::numeric_limits<T>::max())
            return fail(OSCDecodeError::valueDecodingError("Int32 value " + std::to_string(*i) +
                                                           " does not fit into the requested type."));
        return static_cast<T>(*i);
    } else {
        const auto* i = std::get_if<std::int64_t>(&value);
        if (!i)
            return fail(OSCDecodeError::valueDecodingError("Expected an Int64 value."));
        if (*i < 0 || static_cast<std::uint64_t>(*i) > std::numeric_limits<T>::max())
            return fail(OSCDecodeError::valueDecodingError("Int64 value " + std::to_string(*i) +
                                                           " does not fit into the requested type."));
        return static_cast<T>(*i);
    }
}

inline Result<std::intptr_t, OSCDecodeError> hostIntFromOSCValue(const OSCValue& value) {
    if (const auto* i = std::get_if<std::int32_t>(&value))
        return static_cast<std::intptr_t>(*i);
    return fail(OSCDecodeError::valueDecodingError("Expected an Int32 value."));
}

} // namespace pexlora
