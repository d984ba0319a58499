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

namespace {

constexpr std::uint64_t ones = 0x0101010101010101;
constexpr std::uint64_t highs = 0x8080808080808080;

// Calls `test` on the text eight bytes at a time, the last eight overlapping the ones
// before. Shorter texts are read as two overlapping halves, or byte by byte with
// `filler`, a byte that passes the test, in the rest: each read has a fixed size, so
// that no call to memcpy and no partly written word is read back.
template <typename Test> bool anyWord(std::string_view text, unsigned char filler, Test test) {
    const std::size_t size = text.size();
    const char* bytes = text.data();
    if (size < 8) {
        std::uint64_t word = filler * ones;
        if (size >= 4) {
            std::uint32_t low;
            std::uint32_t high;
            std::memcpy(&low, bytes, 4);
            std::memcpy(&high, bytes + size - 4, 4);
            word = low | (std::uint64_t{high} << 32);
        } else if (size > 0) {
            word = (word << 24) | static_cast<unsigned char>(bytes[0]) |
                   (std::uint64_t{static_cast<unsigned char>(bytes[size / 2])} << 8) |
                   (std::uint64_t{static_cast<unsigned char>(bytes[size - 1])} << 16);
        }
        return test(word);
    }
    std::uint64_t found = 0;
    std::uint64_t word;
    for (std::size_t i = 0; i + 8 < size; i += 8) {
        std::memcpy(&word, text.data() + i, 8);
        found |= test(word);
    }
    std::memcpy(&word, text.data() + size - 8, 8);
    return found | test(word);
}

} // namespace

// Both tests run on every text written or read, so they look at eight bytes at a time.
bool isASCII(std::string_view text) {
    return !anyWord(text, 0, [](std::uint64_t word) { return (word & highs) != 0; });
}

bool isPrintableASCII(std::string_view text) {
    return !anyWord(text, ' ', [](std::uint64_t word) {
        // A byte below 0x20, or above 0x7e (non-ASCII included); exact for "any byte".
        const std::uint64_t below = (word - 0x20 * ones) & ~word & highs;
        const std::uint64_t above = (((word & ~highs) + ones) | word) & highs;
        return (below | above) != 0;
    });
}

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
