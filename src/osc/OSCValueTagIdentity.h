// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string_view>
#include <variant>

namespace pexlora {

// How a kind shows in the type-tag string: always one tag, one tag chosen by the
// value (booleans: "T" or "F"), or a run of tags (arrays).
struct OSCValueTagIdentity {
    struct Tag {
        char tag;
    };
    struct Variable {
        std::string_view tags;
    };
    struct Variadic {
        std::optional<int> minCount;
        std::optional<int> maxCount;
    };

    std::variant<Tag, Variable, Variadic> identity;

    // Whether the kind is a candidate for decoding `tag`; a variadic kind always is.
    constexpr bool claims(char tag) const {
        if (const auto* single = std::get_if<Tag>(&identity))
            return single->tag == tag;
        if (const auto* variable = std::get_if<Variable>(&identity))
            return variable->tags.find(tag) != std::string_view::npos;
        return true;
    }
};

} // namespace pexlora
