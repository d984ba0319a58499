#pragma once

#include "osc/ByteOrder.h"
#include "osc/OSCDecodeError.h"
#include "util/Result.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace pexlora {

class OSCSerialization;

// A bounds-checked reader over one message's bytes. Every read checks what remains
// before it touches a byte, and moves `pos` past what it consumed only on success.
class OSCValueDecoder {
public:
    explicit OSCValueDecoder(std::span<const std::uint8_t> data, const OSCSerialization* context = nullptr)
        : m_context(context)
        , m_data(data) {}

    const OSCSerialization* context() const { return m_context; }
    std::span<const std::uint8_t> data() const { return m_data; }
    std::size_t pos() const { return m_pos; }
    std::size_t remaining() const { return m_data.size() - m_pos; }

    // Defined here, so that reading a number compiles to a bounds check and a load.
    Result<std::int32_t, OSCDecodeError> readInt32() {
        return readNumber<std::uint32_t, std::int32_t>("Not enough bytes while reading Int32 data chunk.");
    }
    Result<float, OSCDecodeError> readFloat32() {
        return readNumber<std::uint32_t, float>("Not enough bytes while reading Float32 data chunk.");
    }
    Result<std::int64_t, OSCDecodeError> readInt64() {
        return readNumber<std::uint64_t, std::int64_t>("Not enough bytes while reading Int64 data chunk.");
    }
    Result<double, OSCDecodeError> readDouble() {
        return readNumber<std::uint64_t, double>("Not enough bytes while reading Double data chunk.");
    }
    Result<std::uint64_t, OSCDecodeError> readUInt64() {
        return readNumber<std::uint64_t, std::uint64_t>("Not enough bytes while reading UInt64 data chunk.");
    }
    Result<std::span<const std::uint8_t>, OSCDecodeError> readBytes(std::ptrdiff_t count);
    Result<Unit, OSCDecodeError> advance(std::ptrdiff_t count);
    // The bytes before the first zero; the chunk ends after one to four zero bytes.
    Result<std::span<const std::uint8_t>, OSCDecodeError> readNullTerminatedChunk();
    Result<std::string, OSCDecodeError> readString();
    // The common case of readString, read in place: a well-formed chunk of ASCII without
    // backslash escapes. Nothing, and nothing consumed, for anything else.
    std::optional<std::string_view> readPlainString(); // inline, below
    // A blob as our encoder writes it (one to four zero bytes after the data) or, when the
    // length is a multiple of 4 and no four zero bytes follow, as OSC 1.0 writes it (none).
    Result<std::span<const std::uint8_t>, OSCDecodeError> readBlob();

    // How many arrays enclose the value being read; kept here so that the nesting
    // cap needs no extra parameter through the registry's decoders.
    int arrayDepth = 0;

private:
    template <typename Bits, typename V> Result<V, OSCDecodeError> readNumber(const char* shortText) {
        if (remaining() < sizeof(Bits))
            return fail(OSCDecodeError::malformed(shortText));
        const auto bits = detail::loadBigEndian<Bits>(m_data.data() + m_pos);
        m_pos += sizeof(Bits);
        if constexpr (std::is_integral_v<V>)
            return static_cast<V>(bits);
        else
            return std::bit_cast<V>(bits);
    }

    const OSCSerialization* m_context;
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
};

// Defined here so that the decoders of addresses, tag strings and texts inline it.
inline std::optional<std::string_view> OSCValueDecoder::readPlainString() {
    const std::uint8_t* start = m_data.data() + m_pos;
    const std::size_t available = remaining();
    // Eight bytes at a time, the word with the terminator included: every address, tag
    // string and text of a message passes here, and a byte loop is the codec's slowest part.
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t highs = 0x8080808080808080;
    std::uint64_t unusual = 0; // high bits set where a byte is non-ASCII or a backslash
    std::size_t length = 0;
    bool terminated = false;
    for (; length + 8 <= available; length += 8) {
        std::uint64_t word;
        std::memcpy(&word, start + length, 8);
        word = detail::fromLittleEndian(word);
        // Exact at the lowest zero byte; only bytes above it can be flagged wrongly.
        const std::uint64_t zeros = (word - ones) & ~word & highs;
        if (zeros) {
            const int terminator = std::countr_zero(zeros) / 8;
            word &= (std::uint64_t{1} << (8 * terminator)) - 1;
            terminated = true;
        }
        const std::uint64_t notBackslash = word ^ (0x5c * ones);
        unusual |= (word | ((notBackslash - ones) & ~notBackslash)) & highs;
        if (zeros) {
            length += static_cast<std::size_t>(std::countr_zero(zeros) / 8);
            break;
        }
    }
    bool escapes = unusual != 0;
    if (!terminated) {
        for (; length < available && start[length] != 0; ++length)
            escapes |= start[length] >= 0x80 || start[length] == '\\';
    }
    const std::size_t chunk = detail::paddedLength(length);
    if (escapes || chunk > available)
        return std::nullopt;
    std::uint8_t padding = 0;
    for (std::size_t i = length; i < chunk; ++i)
        padding |= start[i];
    if (padding != 0)
        return std::nullopt;
    m_pos += chunk;
    return std::string_view(reinterpret_cast<const char*>(start), length);
}

} // namespace pexlora
