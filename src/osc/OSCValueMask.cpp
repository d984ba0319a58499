// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/OSCValueMask.h"

namespace pexlora {

namespace {

bool isNumber(OSCValueToken t) {
    return t == OSCValueToken::int32 || t == OSCValueToken::float32 || t == OSCValueToken::int64 ||
           t == OSCValueToken::double_;
}

bool matches(const OSCValue& value, OSCValueToken expected) {
    const OSCValueToken actual = token(value);
    switch (expected) {
    case OSCValueToken::number:
        return isNumber(actual);
    case OSCValueToken::numberOrBool:
        return isNumber(actual) || actual == OSCValueToken::bool_;
    default:
        return actual == expected;
    }
}

} // namespace

std::string OSCValueMaskError::description() const {
    return kind == Case::invalidCount ? "Invalid argument count" : "Mismatched types";
}

std::optional<AnyOSCNumberValue> AnyOSCNumberValue::from(const OSCValue& value) {
    if (const auto* b = std::get_if<bool>(&value))
        return AnyOSCNumberValue{*b};
    if (const auto* i = std::get_if<std::int32_t>(&value))
        return AnyOSCNumberValue{std::int64_t{*i}};
    if (const auto* i = std::get_if<std::int64_t>(&value))
        return AnyOSCNumberValue{*i};
    if (const auto* f = std::get_if<float>(&value))
        return AnyOSCNumberValue{double{*f}};
    if (const auto* d = std::get_if<double>(&value))
        return AnyOSCNumberValue{*d};
    return std::nullopt;
}

Result<Unit, OSCValueMaskError> matchOSCValueMask(std::span<const OSCValue> values,
                                                  std::span<const OSCValueToken> tokens) {
    if (values.size() > tokens.size())
        return fail(OSCValueMaskError{OSCValueMaskError::Case::invalidCount});
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (i >= values.size()) {
            if (!isOptional(tokens[i]))
                return fail(OSCValueMaskError{OSCValueMaskError::Case::invalidCount});
            continue;
        }
        if (!matches(values[i], required(tokens[i])))
            return fail(OSCValueMaskError{OSCValueMaskError::Case::mismatchedTypes});
    }
    return Unit{};
}

} // namespace pexlora
