// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/OSCPacketDecoder.h"

#include "osc/ByteOrder.h"
#include "osc/OSCSerialization.h"
#include "osc/OSCValueDecoder.h"
#include "osc/OSCValueEncoder.h"

#include <algorithm>

namespace pexlora {

namespace {

using Decoded = Result<Unit, OSCDecodeError>;

constexpr const char* endedEarly = "Data bytes ended earlier than expected.";

bool startsWithBundleHeader(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= oscBundleHeader.size() &&
           std::equal(oscBundleHeader.begin(), oscBundleHeader.end(), bytes.begin());
}

bool startsWithSlash(std::span<const std::uint8_t> bytes) {
    return !bytes.empty() && bytes.front() == '/';
}

// The decoders fill a message or bundle that the caller has already placed where it
// will live: moving a decoded packet out through each layer of results costs more than
// decoding a short message does.
Decoded decodeMessageInto(std::span<const std::uint8_t> bytes, OSCMessage& message, OSCTextPolicy text) {
    if (bytes.size() % 4 != 0)
        return fail(OSCDecodeError::malformed("Length not a multiple of 4 bytes."));
    if (!startsWithSlash(bytes))
        return fail(OSCDecodeError::malformed("Does not start with an address pattern."));
    // Kept here: a local static is checked inline, where shared() is a call.
    static const OSCSerialization& registry = OSCSerialization::shared();
    OSCValueDecoder reader(bytes, &registry, text);

    std::string unescaped; // used only by an address or tag string that holds escapes
    const auto address = reader.readString(unescaped);
    if (!address)
        return fail(OSCDecodeError::malformed("Address pattern string could not be parsed."));
    if (text == OSCTextPolicy::strictASCII)
        message.addressPattern.assignASCII(*address); // the reader took only ASCII
    else
        message.addressPattern.assign(*address);
    const auto tags = reader.readString(unescaped);
    if (!tags)
        return fail(OSCDecodeError::malformed("Couldn't extract OSC-type chunk."));
    if (auto values = registry.decodeValues(*tags, reader, message.values); !values)
        return values;
    message._rawData.emplace(bytes.begin(), bytes.end());
    return Unit{};
}

Decoded decodeBundleInto(std::span<const std::uint8_t> bytes, OSCBundle& bundle, int depth,
                         OSCTextPolicy text) {
    if (bytes.size() < 16)
        return fail(OSCDecodeError::malformed("Data length too short. (Length is " +
                                              std::to_string(bytes.size()) + ")"));
    if (!startsWithBundleHeader(bytes))
        return fail(OSCDecodeError::malformed("Bundle header is not present or is malformed."));
    if (depth >= oscMaxNestingDepth)
        return fail(OSCDecodeError::malformed("Bundles nest deeper than " +
                                              std::to_string(oscMaxNestingDepth) + " levels."));
    bundle.timeTag = OSCTimeTag{0, detail::loadBigEndian<std::uint64_t>(bytes.data() + 8)};
    std::size_t offset = 16;
    while (offset < bytes.size()) {
        if (bytes.size() - offset < 4)
            return fail(OSCDecodeError::malformed(endedEarly));
        const auto size =
            static_cast<std::int32_t>(detail::loadBigEndian<std::uint32_t>(bytes.data() + offset));
        offset += 4;
        if (size < 0 || static_cast<std::size_t>(size) > bytes.size() - offset)
            return fail(OSCDecodeError::malformed(endedEarly));
        const auto element = bytes.subspan(offset, static_cast<std::size_t>(size));
        Decoded decoded = Unit{};
        if (startsWithBundleHeader(element)) {
            auto& inner = std::get<OSCBundle>(bundle.elements.emplace_back(std::in_place_type<OSCBundle>));
            decoded = decodeBundleInto(element, inner, depth + 1, text);
        } else if (startsWithSlash(element)) {
            auto& inner = std::get<OSCMessage>(bundle.elements.emplace_back(std::in_place_type<OSCMessage>));
            decoded = decodeMessageInto(element, inner, text);
        } else {
            decoded = fail(OSCDecodeError::malformed("Unrecognized bundle element encountered."));
        }
        if (!decoded)
            return decoded;
        offset += static_cast<std::size_t>(size);
    }
    bundle._rawData.emplace(bytes.begin(), bytes.end());
    return Unit{};
}

} // namespace

std::optional<OSCPacketType> oscPacketType(std::span<const std::uint8_t> bytes) {
    if (startsWithBundleHeader(bytes))
        return OSCPacketType::bundle;
    if (startsWithSlash(bytes))
        return OSCPacketType::message;
    return std::nullopt;
}

// Each function below returns its one named result on every path, so that the compiler
// can build it in the caller's storage instead of moving it out.
Result<std::optional<OSCPacket>, OSCDecodeError> decodeOSCPacket(std::span<const std::uint8_t> bytes,
                                                                 OSCTextPolicy text) {
    const std::optional<OSCPacketType> type = oscPacketType(bytes);
    Result<std::optional<OSCPacket>, OSCDecodeError> result = std::optional<OSCPacket>();
    if (!type)
        return result;
    const Decoded decoded =
        *type == OSCPacketType::bundle
            ? decodeBundleInto(bytes, std::get<OSCBundle>(result->emplace(std::in_place_type<OSCBundle>)), 0,
                               text)
            : decodeMessageInto(bytes, std::get<OSCMessage>(result->emplace(std::in_place_type<OSCMessage>)),
                                text);
    if (!decoded)
        result = fail(decoded.error());
    return result;
}

Result<OSCMessage, OSCDecodeError> decodeOSCMessage(std::span<const std::uint8_t> bytes, OSCTextPolicy text) {
    Result<OSCMessage, OSCDecodeError> result = OSCMessage();
    if (const Decoded decoded = decodeMessageInto(bytes, *result, text); !decoded)
        result = fail(decoded.error());
    return result;
}

Result<OSCBundle, OSCDecodeError> decodeOSCBundle(std::span<const std::uint8_t> bytes, OSCTextPolicy text) {
    Result<OSCBundle, OSCDecodeError> result = OSCBundle();
    if (const Decoded decoded = decodeBundleInto(bytes, *result, 0, text); !decoded)
        result = fail(decoded.error());
    return result;
}

} // namespace pexlora
