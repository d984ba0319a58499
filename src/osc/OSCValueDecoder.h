#pragma once

#include "osc/ByteOrder.h"
#include "osc/LatinASCII.h"
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
    Result<std::span<const std::uint8_t>, OSCDecodeError> readNullTerminatedChunk(); // inline, below
    // A string chunk read as non-lossy ASCII: a view of the bytes in place when they hold
    // no escape (nearly always), else of their decoded text, kept in `unescaped`. Every
    // address, tag string and text of a message is read here.
    Result<std::string_view, OSCDecodeError> readString(std::string& unescaped); // inline, below
    // A blob as our encoder writes it (one to four zero bytes after the data) or, when the
    // length is a multiple of 4 and no four zero bytes follow, as OSC 1.0 writes it (none).
    Result<std::span<const std::uint8_t>, OSCDecodeError> readBlob();

    // How many arrays enclose the value being read; kept here so that the nesting
    // cap needs no extra parameter through the registry's decoders.
    int arrayDepth = 0;

private:
    // The chunk at `pos` whose terminator is `length` bytes on: its padding checked.
    Result<std::span<const std::uint8_t>, OSCDecodeError> takeChunk(std::size_t length);
    // Out of line, so that the inline readers stay small.
    static Result<std::span<const std::uint8_t>, OSCDecodeError>
    chunkFailure(std::size_t available, std::size_t length, std::size_t chunk);
    static Result<std::string_view, OSCDecodeError> unescape(std::span<const std::uint8_t> chunk,
                                                             std::string& unescaped);

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

// Defined here so that the decoders of addresses, tag strings and texts inline them.
[[gnu::always_inline]] inline Result<std::span<const std::uint8_t>, OSCDecodeError>
OSCValueDecoder::takeChunk(std::size_t length) {
    const std::uint8_t* start = m_data.data() + m_pos;
    const std::size_t available = remaining();
    const std::size_t chunk = detail::paddedLength(length);
    if (available < 4 || chunk > available || !detail::allZero({start + length, chunk - length}))
        return chunkFailure(available, length, chunk);
    m_pos += chunk;
    return std::span<const std::uint8_t>(start, length);
}

inline Result<std::span<const std::uint8_t>, OSCDecodeError> OSCValueDecoder::readNullTerminatedChunk() {
    return takeChunk(detail::ascii::scanReceivedText(m_data.data() + m_pos, remaining()).length);
}

[[gnu::always_inline]] inline Result<std::string_view, OSCDecodeError>
OSCValueDecoder::readString(std::string& unescaped) {
    const auto text = detail::ascii::scanReceivedText(m_data.data() + m_pos, remaining());
    const auto chunk = takeChunk(text.length);
    if (!chunk)
        return fail(chunk.error());
    if (text.plain)
        return std::string_view(reinterpret_cast<const char*>(chunk->data()), chunk->size());
    return unescape(*chunk, unescaped);
}

} // namespace pexlora
