// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace pexlora {

// Why received bytes could not be read as a packet. For `unexpectedType` the
// content is the one offending tag character, held in `text`.
struct OSCDecodeError {
    enum class Case { malformed, unexpectedType, valueDecodingError, internalInconsistency };

    Case kind = Case::malformed;
    std::string text;

    static OSCDecodeError malformed(std::string text) { return {Case::malformed, std::move(text)}; }
    static OSCDecodeError unexpectedType(char tag) { return {Case::unexpectedType, std::string(1, tag)}; }
    static OSCDecodeError valueDecodingError(std::string text) {
        return {Case::valueDecodingError, std::move(text)};
    }
    static OSCDecodeError internalInconsistency(std::string text) {
        return {Case::internalInconsistency, std::move(text)};
    }

    std::string description() const;

    friend bool operator==(const OSCDecodeError&, const OSCDecodeError&) = default;
};

} // namespace pexlora
