#include "osc/OSCMessageEncoder.h"

#include "osc/ByteOrder.h"
#include "osc/OSCValueEncoder.h"

#include <array>

namespace pexlora {

namespace {

constexpr std::array<std::uint8_t, 8> bundleHeader = {'#', 'b', 'u', 'n', 'd', 'l', 'e', 0};

// Room reserved up front, so that a typical bundle is built without reallocating.
constexpr std::size_t bundleReserve = 10000;

} // namespace

std::optional<OSCEncodeError> OSCMessageEncoder::append(const OSCMessage& message) {
    if (message._rawData) {
        m_output.insert(m_output.end(), message._rawData->begin(), message._rawData->end());
        return std::nullopt;
    }
    return detail::appendOSCMessage(m_output, message.addressPattern.rawData(), message.values);
}

std::optional<OSCEncodeError> OSCMessageEncoder::append(const OSCBundle& bundle, int depth) {
    if (bundle._rawData) {
        m_output.insert(m_output.end(), bundle._rawData->begin(), bundle._rawData->end());
        return std::nullopt;
    }
    if (depth >= oscMaxNestingDepth)
        return OSCEncodeError::valueEncodingError("Bundles nest deeper than " +
                                                  std::to_string(oscMaxNestingDepth) + " levels.");
    const std::size_t start = m_output.size();
    m_output.insert(m_output.end(), bundleHeader.begin(), bundleHeader.end());
    detail::appendBigEndian(m_output, bundle.timeTag.rawValue);
    for (const OSCPacket& element : bundle.elements) {
        const std::size_t sizeAt = m_output.size();
        m_output.resize(sizeAt + 4);
        std::optional<OSCEncodeError> error;
        if (const OSCBundle* inner = element.bundle())
            error = append(*inner, depth + 1);
        else
            error = append(*element.message());
        if (!error) {
            const auto length = detail::oscLengthField(m_output.size() - sizeAt - 4, "Bundle element");
            if (length) {
                const std::uint32_t big = detail::toBigEndian(static_cast<std::uint32_t>(*length));
                std::memcpy(m_output.data() + sizeAt, &big, 4);
            } else {
                error = length.error();
            }
        }
        if (error) {
            m_output.resize(start);
            return error;
        }
    }
    return std::nullopt;
}

Result<std::vector<std::uint8_t>, OSCEncodeError> encodeOSC(const OSCMessage& message) {
    if (message._rawData)
        return std::vector<std::uint8_t>(message._rawData->begin(), message._rawData->end());
    // The encoder measures the message and allocates its exact size once.
    std::vector<std::uint8_t> bytes;
    if (auto error = OSCMessageEncoder(bytes).append(message))
        return fail(std::move(*error));
    return bytes;
}

Result<std::vector<std::uint8_t>, OSCEncodeError> encodeOSC(const OSCBundle& bundle) {
    if (bundle._rawData)
        return std::vector<std::uint8_t>(bundle._rawData->begin(), bundle._rawData->end());
    std::vector<std::uint8_t> bytes;
    bytes.reserve(bundleReserve);
    if (auto error = OSCMessageEncoder(bytes).append(bundle))
        return fail(std::move(*error));
    return bytes;
}

Result<std::vector<std::uint8_t>, OSCEncodeError> encodeOSC(const OSCPacket& packet) {
    if (const OSCBundle* bundle = packet.bundle())
        return encodeOSC(*bundle);
    return encodeOSC(*packet.message());
}

} // namespace pexlora
