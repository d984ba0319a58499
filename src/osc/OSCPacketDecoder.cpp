#include "osc/OSCPacketDecoder.h"

#include "osc/ASCIIString.h"
#include "osc/ByteOrder.h"
#include "osc/LatinASCII.h"
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

Result<OSCBundle, OSCDecodeError> decodeBundle(std::span<const std::uint8_t> bytes, int depth) {
    if (bytes.size() < 16)
        return fail(OSCDecodeError::malformed("Data length too short. (Length is " +
                                              std::to_string(bytes.size()) + ")"));
    if (!startsWithBundleHeader(bytes))
        return fail(OSCDecodeError::malformed("Bundle header is not present or is malformed."));
    if (depth >= oscMaxNestingDepth)
        return fail(OSCDecodeError::malformed("Bundles nest deeper than " +
                                              std::to_string(oscMaxNestingDepth) + " levels."));
    OSCBundle bundle;
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
        if (startsWithBundleHeader(element)) {
            auto inner = decodeBundle(element, depth + 1);
            if (!inner)
                return fail(inner.error());
            bundle.elements.emplace_back(std::move(*inner));
        } else if (startsWithSlash(element)) {
            auto message = decodeOSCMessage(element);
            if (!message)
                return fail(message.error());
            bundle.elements.emplace_back(std::move(*message));
        } else {
            return fail(OSCDecodeError::malformed("Unrecognized bundle element encountered."));
        }
        offset += static_cast<std::size_t>(size);
    }
    bundle._rawData.emplace(bytes.begin(), bytes.end());
    return bundle;
}

} // namespace

std::optional<OSCPacketType> oscPacketType(std::span<const std::uint8_t> bytes) {
    if (startsWithBundleHeader(bytes))
        return OSCPacketType::bundle;
    if (startsWithSlash(bytes))
        return OSCPacketType::message;
    return std::nullopt;
}

Result<std::optional<OSCPacket>, OSCDecodeError> decodeOSCPacket(std::span<const std::uint8_t> bytes) {
    using Decoded = std::optional<OSCPacket>;
    const std::optional<OSCPacketType> type = oscPacketType(bytes);
    if (!type)
        return Decoded();
    if (*type == OSCPacketType::bundle) {
        auto bundle = decodeOSCBundle(bytes);
        if (!bundle)
            return fail(bundle.error());
        return Decoded(std::move(*bundle));
    }
    auto message = decodeOSCMessage(bytes);
    if (!message)
        return fail(message.error());
    return Decoded(std::move(*message));
}

Result<OSCMessage, OSCDecodeError> decodeOSCMessage(std::span<const std::uint8_t> bytes) {
    if (bytes.size() % 4 != 0)
        return fail(OSCDecodeError::malformed("Length not a multiple of 4 bytes."));
    if (!startsWithSlash(bytes))
        return fail(OSCDecodeError::malformed("Does not start with an address pattern."));
    const OSCSerialization& registry = OSCSerialization::shared();
    OSCValueDecoder reader(bytes, &registry);

    auto address = reader.readString();
    if (!address)
        return fail(OSCDecodeError::malformed("Address pattern string could not be parsed."));
    // The tag string is read in place unless it holds escapes that must be decoded first.
    std::string unescaped;
    std::optional<std::string_view> walk = reader.readPlainString();
    if (!walk) {
        auto tags = reader.readString();
        if (!tags)
            return fail(OSCDecodeError::malformed("Couldn't extract OSC-type chunk."));
        unescaped = std::move(*tags);
        walk = unescaped;
    }

    OSCMessage message;
    message.values.reserve(walk->size() - (walk->starts_with(',') ? 1 : 0));
    for (std::size_t i = 0; i < walk->size();) {
        if ((*walk)[i] == ',' || (*walk)[i] == '\0') {
            ++i;
            continue;
        }
        auto consumed = registry.decodeValue(walk->substr(i), reader, message.values);
        if (!consumed)
            return fail(consumed.error());
        i += *consumed;
    }
    message.addressPattern = OSCAddressPattern(std::move(*address));
    message._rawData.emplace(bytes.begin(), bytes.end());
    return message;
}

Result<OSCBundle, OSCDecodeError> decodeOSCBundle(std::span<const std::uint8_t> bytes) {
    return decodeBundle(bytes, 0);
}

} // namespace pexlora
