// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/LatinASCII.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <unicode/translit.h>
#include <unicode/unistr.h>

namespace pexlora::detail {

namespace {

const icu::Transliterator* sharedTransliterator() {
    // Creating the transform parses its rules, which takes milliseconds; do it once.
    static const std::unique_ptr<icu::Transliterator> instance = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> made(
            icu::Transliterator::createInstance("Latin-ASCII", UTRANS_FORWARD, status));
        if (U_FAILURE(status))
            made.reset();
        return made;
    }();
    return instance.get();
}

// ICU does not promise that one transliterator may be used from several threads at
// once, so each thread works with its own clone of the shared one.
const icu::Transliterator* threadTransliterator() {
    thread_local const std::unique_ptr<icu::Transliterator> local(
        sharedTransliterator() ? sharedTransliterator()->clone() : nullptr);
    return local.get();
}

icu::UnicodeString transliterated(std::string_view text) {
    icu::UnicodeString unicode =
        icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    if (const icu::Transliterator* transform = threadTransliterator())
        transform->transliterate(unicode);
    return unicode;
}

} // namespace

std::string transliterateLatinASCII(std::string_view text) {
    std::string out;
    transliterated(text).toUTF8String(out);
    return out;
}

std::string printableASCII(std::string_view text) {
    if (isPrintableASCII(text))
        return std::string(text);
    const icu::UnicodeString unicode = transliterated(text);
    std::string out;
    out.reserve(static_cast<std::size_t>(unicode.length()));
    for (int32_t i = 0; i < unicode.length(); ++i) {
        const char16_t unit = unicode.charAt(i);
        out.push_back(unit >= 0x20 && unit <= 0x7e ? static_cast<char>(unit) : '?');
    }
    return out;
}

} // namespace pexlora::detail
