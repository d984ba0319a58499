// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCValue.h"
#include "util/Result.h"

#include <optional>
#include <span>
#include <string>
#include <variant>

namespace pexlora {

struct OSCValueMaskError {
    enum class Case { invalidCount, mismatchedTypes };

    Case kind = Case::invalidCount;

    // "Invalid argument count" or "Mismatched types".
    std::string description() const;

    friend bool operator==(OSCValueMaskError, OSCValueMaskError) = default;
};

// Any number, or a boolean, held under one type; reports `numberOrBool`.
struct AnyOSCNumberValue {
    using OSCNumberValueBase = std::variant<bool, std::int64_t, double>;

    OSCNumberValueBase base;

    static constexpr OSCValueToken token = OSCValueToken::numberOrBool;

    // Nothing unless the value is an integer, a floating number or a boolean.
    static std::optional<AnyOSCNumberValue> from(const OSCValue& value);

    friend bool operator==(const AnyOSCNumberValue&, const AnyOSCNumberValue&) = default;
};

// Whether a message's values fit what a handler expects: as many values as tokens
// (missing ones allowed only for Optional tokens at the end), each of the right kind.
Result<Unit, OSCValueMaskError> matchOSCValueMask(std::span<const OSCValue> values,
                                                  std::span<const OSCValueToken> tokens);

} // namespace pexlora
