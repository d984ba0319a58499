// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace pexlora {

enum class NumberEndianness { platformDefault, littleEndian, bigEndian };

// The host order is a property of the build, so "finding it once" costs nothing at run time.
constexpr NumberEndianness hostEndianness() {
    return std::endian::native == std::endian::little ? NumberEndianness::littleEndian
                                                      : NumberEndianness::bigEndian;
}

namespace detail {

template <typename U> constexpr U toBigEndian(U value) {
    if constexpr (std::endian::native == std::endian::little) {
        if constexpr (sizeof(U) == 8)
            return __builtin_bswap64(value);
        else if constexpr (sizeof(U) == 4)
            return __builtin_bswap32(value);
    }
    return value;
}

// Bytes read as a little-endian word, so that the lowest bits are the first byte.
constexpr std::uint64_t fromLittleEndian(std::uint64_t value) {
    if constexpr (std::endian::native == std::endian::big)
        return __builtin_bswap64(value);
    return value;
}

// Appends the big-endian bytes of an unsigned integer of 4 or 8 bytes.
template <typename U> inline void appendBigEndian(std::vector<std::uint8_t>& out, U value) {
    const U big = toBigEndian(value);
    const auto size = out.size();
    out.resize(size + sizeof(U));
    std::memcpy(out.data() + size, &big, sizeof(U));
}

template <typename U> inline U loadBigEndian(const std::uint8_t* bytes) {
    U big;
    std::memcpy(&big, bytes, sizeof(U));
    return toBigEndian(big);
}

// OSC pads every string-like run with one to four zero bytes, never none.
constexpr std::size_t paddedLength(std::size_t length) {
    return length + 4 - length % 4;
}

// Whether the last `count` (1 to 4) of the four bytes at `bytes` are zero: padding,
// checked with one load rather than a loop of one to four rounds.
inline bool lastBytesZero(const std::uint8_t* bytes, std::size_t count) {
    std::uint32_t word;
    std::memcpy(&word, bytes, 4);
    if constexpr (std::endian::native == std::endian::big)
        word = __builtin_bswap32(word);
    return (word >> (8 * (4 - count))) == 0;
}

} // namespace detail
} // namespace pexlora
