// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/OSCValueDecoder.h"

#include "osc/ByteOrder.h"
#include "osc/NonLossyText.h"

namespace pexlora {

namespace {

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

OSCDecodeError OSCValueDecoder::chunkError(std::size_t length, std::size_t chunk) const {
    // In the order the checks are made: room for a chunk, a terminator, room for its
    // padding, and padding of zeros.
    const std::size_t available = remaining();
    const bool tooShort = available < 4 || (length < available && chunk > available);
    return malformed(tooShort ? "Not enough bytes in 4-byte aligned null-terminated data chunk."
                              : "4-byte aligned null-terminated data chunk does not terminate in null "
                                "bytes as expected.");
}

Result<std::string_view, OSCDecodeError> OSCValueDecoder::unescape(std::span<const std::uint8_t> chunk,
                                                                   std::string& unescaped) const {
    if (m_text == OSCTextPolicy::lenientUTF8) {
        unescaped = detail::decodeNonLossyUTF8(chunk);
        return std::string_view(unescaped);
    }
    std::optional<std::string> text = detail::decodeNonLossyASCII(chunk);
    if (!text)
        return fail(
            malformed("Failed to form valid ASCII string from 4-byte aligned null-terminated ASCII string "
                      "chunk. Non-ASCII characters may be present or the data is malformed."));
    unescaped = std::move(*text);
    return std::string_view(unescaped);
}

OSCDecodeError OSCValueDecoder::blobError(BlobFault fault) {
    switch (fault) {
    case BlobFault::length:
        return malformed("Failed to read Int32 length chunk at start of 4-byte aligned null-terminated blob "
                         "data chunk.");
    case BlobFault::pastTheEnd:
        return malformed("Encoded blob chunk length is greater than the available data length.");
    case BlobFault::unaligned:
        return malformed("Not enough bytes in 4-byte aligned null-terminated blob data chunk.");
    default:
        return malformed("Expected 4-byte null terminated data but expected null bytes were not found.");
    }
}

} // namespace pexlora
