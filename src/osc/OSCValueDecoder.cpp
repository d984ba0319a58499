#include "osc/OSCValueDecoder.h"

#include "osc/ASCIIString.h"
#include "osc/ByteOrder.h"

namespace pexlora {

namespace {

// A blob longer than this cannot have come in one UDP datagram.
constexpr std::int32_t maxBlobLength = 65506;

OSCDecodeError malformed(const char* text) {
    return OSCDecodeError::malformed(text);
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

Result<std::span<const std::uint8_t>, OSCDecodeError>
OSCValueDecoder::chunkFailure(std::size_t available, std::size_t length, std::size_t chunk) {
    // In the order the checks are made: room for a chunk, a terminator, room for its
    // padding, and padding of zeros.
    const bool tooShort = available < 4 || (length < available && chunk > available);
    return fail(malformed(tooShort ? "Not enough bytes in 4-byte aligned null-terminated data chunk."
                                   : "4-byte aligned null-terminated data chunk does not terminate in null "
                                     "bytes as expected."));
}

Result<std::string_view, OSCDecodeError> OSCValueDecoder::unescape(std::span<const std::uint8_t> chunk,
                                                                   std::string& unescaped) {
    std::optional<std::string> text = detail::decodeNonLossyASCII(chunk);
    if (!text)
        return fail(
            malformed("Failed to form valid ASCII string from 4-byte aligned null-terminated ASCII string "
                      "chunk. Non-ASCII characters may be present or the data is malformed."));
    unescaped = std::move(*text);
    return std::string_view(unescaped);
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
    if (padding == 4 && (after < 4 || !detail::allZero(m_data.subspan(m_pos + n, 4))))
        padding = 0; // OSC 1.0 layout: the next value starts right after the data
    if (padding > after)
        return fail(malformed("Not enough bytes in 4-byte aligned null-terminated blob data chunk."));
    if (!detail::allZero(m_data.subspan(m_pos + n, padding)))
        return fail(
            malformed("Expected 4-byte null terminated data but expected null bytes were not found."));
    m_pos += n + padding;
    return bytes;
}

} // namespace pexlora
