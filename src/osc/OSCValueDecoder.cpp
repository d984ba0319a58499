#include "osc/OSCValueDecoder.h"

#include "osc/ASCIIString.h"
#include "osc/ByteOrder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace pexlora {

namespace {

// A blob longer than this cannot have come in one UDP datagram.
constexpr std::int32_t maxBlobLength = 65506;

OSCDecodeError malformed(const char* text) {
    return OSCDecodeError::malformed(text);
}

bool allZero(std::span<const std::uint8_t> bytes) {
    std::uint8_t seen = 0;
    for (const std::uint8_t b : bytes)
        seen |= b;
    return seen == 0;
}

} // namespace

Result<std::span<const std::uint8_t>, OSCDecodeError> OSCValueDecoder::readBytes(std::ptrdiff_t count) {
    if (count < 0)
        return fail(OSCDecodeError::internalInconsistency(
            "Negative byte count requested while parsing data: " + std::to_string(count)));
    if (remaining() < static_cast<std::size_t>(count))
        return fail(OSCDecodeError::malformed(
            "Not enough bytes remain in data stream while parsing data. Attempted to read " +
            std::to_string(count) + " bytes but only " + std::to_string(remaining()) + " bytes remain."));
    const auto bytes = m_data.subspan(m_pos, static_cast<std::size_t>(count));
    m_pos += static_cast<std::size_t>(count);
    return bytes;
}

Result<Unit, OSCDecodeError> OSCValueDecoder::advance(std::ptrdiff_t count) {
    if (count < 0)
        return fail(OSCDecodeError::internalInconsistency(
            "Negative byte count requested while parsing data: " + std::to_string(count)));
    if (remaining() < static_cast<std::size_t>(count))
        return fail(OSCDecodeError::malformed(
            "Attempted to advance byte read position past end of available bytes. " +
            std::to_string(remaining()) + " bytes remain but " + std::to_string(count) + " were advanced."));
    m_pos += static_cast<std::size_t>(count);
    return Unit{};
}

Result<std::span<const std::uint8_t>, OSCDecodeError> OSCValueDecoder::readNullTerminatedChunk() {
    static constexpr const char* tooShort = "Not enough bytes in 4-byte aligned null-terminated data chunk.";
    static constexpr const char* unterminated =
        "4-byte aligned null-terminated data chunk does not terminate in null bytes as expected.";
    if (remaining() < 4)
        return fail(malformed(tooShort));
    const std::uint8_t* start = m_data.data() + m_pos;
    const void* zero = std::memchr(start, 0, remaining());
    if (!zero)
        return fail(malformed(unterminated));
    const auto length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - start);
    const std::size_t chunk = detail::paddedLength(length);
    if (chunk > remaining())
        return fail(malformed(tooShort));
    if (!allZero({start + length, chunk - length}))
        return fail(malformed(unterminated));
    m_pos += chunk;
    return std::span<const std::uint8_t>(start, length);
}

Result<std::string, OSCDecodeError> OSCValueDecoder::readString() {
    if (const auto plain = readPlainString())
        return std::string(*plain);
    const auto chunk = readNullTerminatedChunk();
    if (!chunk)
        return fail(chunk.error());
    std::optional<std::string> text = detail::decodeNonLossyASCII(*chunk);
    if (!text)
        return fail(
            malformed("Failed to form valid ASCII string from 4-byte aligned null-terminated ASCII string "
                      "chunk. Non-ASCII characters may be present or the data is malformed."));
    return std::move(*text);
}

Result<std::span<const std::uint8_t>, OSCDecodeError> OSCValueDecoder::readBlob() {
    const auto length = readInt32();
    if (!length || *length < 0 || *length > maxBlobLength)
        return fail(
            malformed("Failed to read Int32 length chunk at start of 4-byte aligned null-terminated blob "
                      "data chunk."));
    const auto n = static_cast<std::size_t>(*length);
    if (n > remaining())
        return fail(malformed("Encoded blob chunk length is greater than the available data length."));
    const auto bytes = m_data.subspan(m_pos, n);
    const std::size_t after = remaining() - n;
    std::size_t padding = 4 - n % 4;
    if (padding == 4 && (after < 4 || !allZero(m_data.subspan(m_pos + n, 4))))
        padding = 0; // OSC 1.0 layout: the next value starts right after the data
    if (padding > after)
        return fail(malformed("Not enough bytes in 4-byte aligned null-terminated blob data chunk."));
    if (!allZero(m_data.subspan(m_pos + n, padding)))
        return fail(
            malformed("Expected 4-byte null terminated data but expected null bytes were not found."));
    m_pos += n + padding;
    return bytes;
}

} // namespace pexlora
