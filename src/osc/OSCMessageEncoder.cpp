// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/OSCMessageEncoder.h"

#include "osc/ByteOrder.h"
#include "osc/OSCValueEncoder.h"

#include <cstring>

namespace pexlora {

namespace {

using Appended = Result<Unit, OSCEncodeError>;

// Room reserved up front, so that a typical bundle is built without reallocating.
constexpr std::size_t bundleReserve = 10000;

} // namespace

Appended OSCMessageEncoder::append(const OSCMessage& message) {
    if (message._rawData) {
        m_output.insert(m_output.end(), message._rawData->begin(), message._rawData->end());
        return Unit{};
    }
    return detail::appendOSCMessage(m_output, message.addressPattern.rawData(), message.values);
}

Appended OSCMessageEncoder::append(const OSCBundle& bundle, int depth) {
    if (bundle._rawData) {
        m_output.insert(m_output.end(), bundle._rawData->begin(), bundle._rawData->end());
        return Unit{};
    }
    if (depth >= oscMaxNestingDepth)
        return fail(OSCEncodeError::valueEncodingError("Bundles nest deeper than " +
                                                       std::to_string(oscMaxNestingDepth) + " levels."));
    const std::size_t start = m_output.size();
    m_output.insert(m_output.end(), oscBundleHeader.begin(), oscBundleHeader.end());
    detail::appendBigEndian(m_output, bundle.timeTag.rawValue);
    for (const OSCPacket& element : bundle.elements) {
        const std::size_t sizeAt = m_output.size();
        m_output.resize(sizeAt + 4);
        const Appended appended =
            element.bundle() ? append(*element.bundle(), depth + 1) : append(*element.message());
        if (!appended) {
            m_output.resize(start);
            return appended;
        }
        const auto length = detail::oscLengthField(m_output.size() - sizeAt - 4, "Bundle element");
        if (!length) {
            m_output.resize(start);
            return fail(length.error());
        }
        const std::uint32_t big = detail::toBigEndian(static_cast<std::uint32_t>(*length));
        std::memcpy(m_output.data() + sizeAt, &big, 4);
    }
    return Unit{};
}

Result<std::vector<std::uint8_t>, OSCEncodeError> encodeOSC(const OSCMessage& message) {
    if (message._rawData)
        return std::vector<std::uint8_t>(message._rawData->begin(), message._rawData->end());
    // The encoder measures the message and allocates its exact size once.
    std::vector<std::uint8_t> bytes;
    if (const Appended appended = OSCMessageEncoder(bytes).append(message); !appended)
        return fail(appended.error());
    return bytes;
}

Result<std::vector<std::uint8_t>, OSCEncodeError> encodeOSC(const OSCBundle& bundle) {
    if (bundle._rawData)
        return std::vector<std::uint8_t>(bundle._rawData->begin(), bundle._rawData->end());
    std::vector<std::uint8_t> bytes;
    bytes.reserve(bundleReserve);
    if (const Appended appended = OSCMessageEncoder(bytes).append(bundle); !appended)
        return fail(appended.error());
    return bytes;
}

Result<std::vector<std::uint8_t>, OSCEncodeError> encodeOSC(const OSCPacket& packet) {
    if (const OSCBundle* bundle = packet.bundle())
        return encodeOSC(*bundle);
    return encodeOSC(*packet.message());
}

} // namespace pexlora
