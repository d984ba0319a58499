// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/ByteOrder.h"
#include "osc/LatinASCII.h"
#include "osc/OSCDecodeError.h"
#include "osc/OSCTextPolicy.h"
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
    explicit OSCValueDecoder(std::span<const std::uint8_t> data, const OSCSerialization* context = nullptr,
                             OSCTextPolicy text = OSCTextPolicy::strictASCII)
        : m_context(context)
        , m_text(text)
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
    // A string chunk read by the text policy: a view of the bytes in place when they are
    // ASCII without an escape (nearly always), else of their decoded text, kept in
    // `unescaped`. Every address, tag string and text of a message is read here.
    Result<std::string_view, OSCDecodeError> readString(std::string& unescaped); // inline, below
    // A blob as our encoder writes it (one to four zero bytes after the data) or, when the
    // length is a multiple of 4 and no four zero bytes follow, as OSC 1.0 writes it (none).
    Result<std::span<const std::uint8_t>, OSCDecodeError> readBlob(); // inline, below

    // How many arrays enclose the value being read; kept here so that the nesting
    // cap needs no extra parameter through the registry's decoders.
    int arrayDepth = 0;

private:
    // Whether the chunk at `pos`, whose terminator is `length` bytes on and which is
    // `chunk` bytes long, lies within the data with all its padding zero.
    bool chunkFits(std::size_t length, std::size_t chunk) const;
    // Out of line, so that the inline readers stay small: why a chunk did not fit.
    OSCDecodeError chunkError(std::size_t length, std::size_t chunk) const;
    enum class BlobFault { length, pastTheEnd, unaligned, padding };
    static OSCDecodeError blobError(BlobFault fault);
    Result<std::string_view, OSCDecodeError> unescape(std::span<const std::uint8_t> chunk,
                                                      std::string& unescaped) const;

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
    OSCTextPolicy m_text;
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
};

// Defined here so that the decoders of addresses, tag strings and texts inline them.
inline bool OSCValueDecoder::chunkFits(std::size_t length, std::size_t chunk) const {
    const std::uint8_t* start = m_data.data() + m_pos;
    return remaining() >= 4 && chunk <= remaining() &&
           detail::lastBytesZero(start + chunk - 4, chunk - length);
}

inline Result<std::span<const std::uint8_t>, OSCDecodeError> OSCValueDecoder::readNullTerminatedChunk() {
    const std::size_t length = detail::ascii::scanReceivedText(m_data.data() + m_pos, remaining()).length;
    const std::size_t chunk = detail::paddedLength(length);
    if (!chunkFits(length, chunk))
        return fail(chunkError(length, chunk));
    const std::uint8_t* start = m_data.data() + m_pos;
    m_pos += chunk;
    return std::span<const std::uint8_t>(start, length);
}

[[gnu::always_inline]] inline Result<std::string_view, OSCDecodeError>
OSCValueDecoder::readString(std::string& unescaped) {
    const auto text = detail::ascii::scanReceivedText(m_data.data() + m_pos, remaining());
    const std::size_t chunk = detail::paddedLength(text.length);
    if (!chunkFits(text.length, chunk))
        return fail(chunkError(text.length, chunk));
    const std::uint8_t* start = m_data.data() + m_pos;
    m_pos += chunk;
    if (text.plain)
        return std::string_view(reinterpret_cast<const char*>(start), text.length);
    return unescape({start, text.length}, unescaped);
}

[[gnu::always_inline]] inline Result<std::span<const std::uint8_t>, OSCDecodeError>
OSCValueDecoder::readBlob() {
    // A blob longer than this cannot have come in one UDP datagram.
    constexpr std::int32_t maxLength = 65506;
    const auto length = readInt32();
    if (!length || *length < 0 || *length > maxLength)
        return fail(blobError(BlobFault::length));
    const auto n = static_cast<std::size_t>(*length);
    if (n > remaining())
        return fail(blobError(BlobFault::pastTheEnd));
    const std::uint8_t* bytes = m_data.data() + m_pos;
    const std::size_t after = remaining() - n;
    std::size_t padding = 4 - n % 4;
    if (padding == 4 && (after < 4 || !detail::lastBytesZero(bytes + n, 4)))
        padding = 0; // OSC 1.0 layout: the next value starts right after the data
    if (padding > after)
        return fail(blobError(BlobFault::unaligned));
    if (padding > 0 && !detail::lastBytesZero(bytes + n + padding - 4, padding))
        return fail(blobError(BlobFault::padding));
    m_pos += n + padding;
    return std::span<const std::uint8_t>(bytes, n);
}

} // namespace pexlora
