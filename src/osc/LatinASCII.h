// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/ByteOrder.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace pexlora::detail {

// ICU's "Latin-ASCII" transform of UTF-8 text; the text unchanged when the
// transform is unavailable. Invalid UTF-8 comes back as U+FFFD.
std::string transliterateLatinASCII(std::string_view text);

// The lossy conversion every written text goes through: transliterate, then one "?"
// for each UTF-16 code unit outside the printable range (so a character beyond the
// BMP, two code units, becomes "??"). Printable ASCII is returned as it is without
// touching ICU, which is what the transform would do to it anyway.
std::string printableASCII(std::string_view text);

namespace ascii {

constexpr std::uint64_t ones = 0x0101010101010101;
constexpr std::uint64_t highs = 0x8080808080808080;

// The high bit of each zero byte of a word: nonzero exactly when a byte is zero, and
// exact at the lowest such byte (only bytes above it can be marked wrongly).
constexpr std::uint64_t zeroBytes(std::uint64_t word) {
    return (word - ones) & ~word & highs;
}

// A byte of 0x80 or above, or a backslash: what keeps received text from reading as itself.
constexpr std::uint64_t escapedOrHigh(std::uint64_t word) {
    return (word & highs) | zeroBytes(word ^ (std::uint64_t{'\\'} * ones));
}

// A string as it arrives: the offset of its terminator (the first zero byte among
// `size`, or `size` when there is none), and whether the bytes before it are plain ASCII
// without backslashes, which read as themselves. One pass finds both.
struct ReceivedText {
    std::size_t length;
    bool plain;
};

[[gnu::always_inline]] inline ReceivedText scanReceivedText(const std::uint8_t* bytes, std::size_t size) {
    std::uint64_t unusual = 0;
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        word = fromLittleEndian(word);
        if (const std::uint64_t zeros = zeroBytes(word)) {
            const int terminator = std::countr_zero(zeros) / 8;
            word &= (std::uint64_t{1} << (8 * terminator)) - 1; // the bytes after it are not text
            unusual |= escapedOrHigh(word);
            return {i + static_cast<std::size_t>(terminator), unusual == 0};
        }
        unusual |= escapedOrHigh(word);
    }
    for (; i < size && bytes[i] != 0; ++i)
        unusual |= escapedOrHigh(bytes[i]);
    return {i, unusual == 0};
}

// Calls `test` on the text eight bytes at a time, the last eight overlapping the ones
// before. Shorter texts are read as two overlapping halves, or byte by byte with
// `filler`, a byte that passes the test, in the rest: each read has a fixed size, so
// that no call to memcpy and no partly written word is read back.
template <typename Test> inline bool anyWord(std::string_view text, unsigned char filler, Test test) {
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

} // namespace ascii

// The tests below run on every address and text written or read, so they are inline
// and look at eight bytes at a time.

// True when every byte is below 0x80: the exact ASCII test. CR LF, the only
// character made of two ASCII scalars, passes as its two bytes do.
inline bool isASCII(std::string_view text) {
    return !ascii::anyWord(text, 0, [](std::uint64_t word) { return (word & ascii::highs) != 0; });
}

// True when every byte lies in the printable range U+0020…U+007E.
inline bool isPrintableASCII(std::string_view text) {
    return !ascii::anyWord(text, ' ', [](std::uint64_t word) {
        // A byte below 0x20, or above 0x7e (non-ASCII included); exact for "any byte".
        const std::uint64_t below = (word - 0x20 * ascii::ones) & ~word & ascii::highs;
        const std::uint64_t above = (((word & ~ascii::highs) + ascii::ones) | word) & ascii::highs;
        return (below | above) != 0;
    });
}

} // namespace pexlora::detail
