#include "osc/OSCPacketDecoder.h"

#include "osc/ByteOrder.h"
#include "osc/OSCSerialization.h"
#include "osc/OSCValueDecoder.h"
#include "osc/OSCValueEncoder.h"

#include <algorithm>
#include <array>

namespace pexlora {

namespace {

constexpr std::array<std::uint8_t, 8> bundleHeader = {'#', 'b', 'u', 'n', 'd', 'l', 'e', 0};
constexpr const char* endedEarly = "Data bytes ended earlier than expected.";

bool startsWithBundleHeader(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= bundleHeader.size() &&
           std::equal(bundleHeader.begin(), bundleHeader.end(), bytes.begin());
}

bool startsWithSlash(std::span<const std::uint8_t> bytes) {
    return !bytes.empty() && bytes.front() == '/';
}

// The decoders fill a message or bundle that the caller has already placed where it
// will live: moving a decoded packet out through each layer of results costs more than
// decoding a short message does.
std::optional<OSCDecodeError> decodeMessageInto(std::span<const std::uint8_t> bytes, OSCMessage& message) {
    if (bytes.size() % 4 != 0)
        return OSCDecodeError::malformed("Length not a multiple of 4 bytes.");
    if (!startsWithSlash(bytes))
        return OSCDecodeError::malformed("Does not start with an address pattern.");
    // Kept here: a local static is checked inline, where shared() is a call.
    static const OSCSerialization& registry = OSCSerialization::shared();
    OSCValueDecoder reader(bytes, &registry);

    if (const auto plain = reader.readPlainString()) {
        message.addressPattern.assign(*plain);
    } else {
        auto address = reader.readString();
        if (!address)
            return OSCDecodeError::malformed("Address pattern string could not be parsed.");
        message.addressPattern = OSCAddressPattern(std::move(*address));
    }
    // The tag string is read in place unless it holds escapes that must be decoded first.
    std::string unescaped;
    std::optional<std::string_view> walk = reader.readPlainString();
    if (!walk) {
        auto tags = reader.readString();
        if (!tags)
            return OSCDecodeError::malformed("Couldn't extract OSC-type chunk.");
        unescaped = std::move(*tags);
        walk = unescaped;
    }

    if (auto error = registry.decodeValues(*walk, reader, message.values))
        return error;
    message._rawData.emplace(bytes.begin(), bytes.end());
    return std::nullopt;
}

std::optional<OSCDecodeError> decodeBundleInto(std::span<const std::uint8_t> bytes, OSCBundle& bundle,
                                               int depth) {
    if (bytes.size() < 16)
        return OSCDecodeError::malformed("Data length too short. (Length is " + std::to_string(bytes.size()) +
                                         ")");
    if (!startsWithBundleHeader(bytes))
        return OSCDecodeError::malformed("Bundle header is not present or is malformed.");
    if (depth >= oscMaxNestingDepth)
        return OSCDecodeError::malformed("Bundles nest deeper than " + std::to_string(oscMaxNestingDepth) +
                                         " levels.");
    bundle.timeTag = OSCTimeTag{0, detail::loadBigEndian<std::uint64_t>(bytes.data() + 8)};
    std::size_t offset = 16;
    while (offset < bytes.size()) {
        if (bytes.size() - offset < 4)
            return OSCDecodeError::malformed(endedEarly);
        const auto size =
            static_cast<std::int32_t>(detail::loadBigEndian<std::uint32_t>(bytes.data() + offset));
        offset += 4;
        if (size < 0 || static_cast<std::size_t>(size) > bytes.size() - offset)
            return OSCDecodeError::malformed(endedEarly);
        const auto element = bytes.subspan(offset, static_cast<std::size_t>(size));
        std::optional<OSCDecodeError> error;
        if (startsWithBundleHeader(element)) {
            auto& inner = std::get<OSCBundle>(bundle.elements.emplace_back(std::in_place_type<OSCBundle>));
            error = decodeBundleInto(element, inner, depth + 1);
        } else if (startsWithSlash(element)) {
            auto& inner = std::get<OSCMessage>(bundle.elements.emplace_back(std::in_place_type<OSCMessage>));
            error = decodeMessageInto(element, inner);
        } else {
            error = OSCDecodeError::malformed("Unrecognized bundle element encountered.");
        }
        if (error)
            return error;
        offset += static_cast<std::size_t>(size);
    }
    bundle._rawData.emplace(bytes.begin(), bytes.end());
    return std::nullopt;
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
Result<std::optional<OSCPacket>, OSCDecodeError> decodeOSCPacket(std::span<const std::uint8_t> bytes) {
    const std::optional<OSCPacketType> type = oscPacketType(bytes);
    Result<std::optional<OSCPacket>, OSCDecodeError> result = std::optional<OSCPacket>();
    if (!type)
        return result;
    std::optional<OSCDecodeError> error;
    if (*type == OSCPacketType::bundle)
        error =
            decodeBundleInto(bytes, std::get<OSCBundle>(result->emplace(std::in_place_type<OSCBundle>)), 0);
    else
        error =
            decodeMessageInto(bytes, std::get<OSCMessage>(result->emplace(std::in_place_type<OSCMessage>)));
    if (error)
        result = fail(std::move(*error));
    return result;
}

Result<OSCMessage, OSCDecodeError> decodeOSCMessage(std::span<const std::uint8_t> bytes) {
    Result<OSCMessage, OSCDecodeError> result = OSCMessage();
    if (auto error = decodeMessageInto(bytes, *result))
        result = fail(std::move(*error));
    return result;
}

Result<OSCBundle, OSCDecodeError> decodeOSCBundle(std::span<const std::uint8_t> bytes) {
    Result<OSCBundle, OSCDecodeError> result = OSCBundle();
    if (auto error = decodeBundleInto(bytes, *result, 0))
        result = fail(std::move(*error));
    return result;
}

} // namespace pexlora
