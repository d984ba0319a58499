// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace pexlora {

// Why a packet could not be turned into bytes. `text` is the detail; `description`
// gives the full text with the prefix of its case.
struct OSCEncodeError {
    enum class Case { general, valueEncodingError, internalInconsistency };

    Case kind = Case::general;
    std::string text;

    static OSCEncodeError general(std::string text) { return {Case::general, std::move(text)}; }
    static OSCEncodeError valueEncodingError(std::string text) {
        return {Case::valueEncodingError, std::move(text)};
    }
    static OSCEncodeError internalInconsistency(std::string text) {
        return {Case::internalInconsistency, std::move(text)};
    }

    std::string description() const;

    friend bool operator==(const OSCEncodeError&, const OSCEncodeError&) = default;
};

} // namespace pexlora
