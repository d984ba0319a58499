// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/OSCValueEncoder.h"

#include "osc/ASCIIString.h"
#include "osc/ByteOrder.h"
#include "osc/LatinASCII.h"

#include <bit>
#include <limits>

namespace pexlora {

namespace detail {

namespace {

// The position of a kind in the value variant, usable as a case label.
template <typename K, typename V = OSCValueVariant> constexpr std::size_t kindIndexIn = 0;
template <typename K, typename... Kinds>
constexpr std::size_t kindIndexIn<K, std::variant<Kinds...>> = [] {
    constexpr bool matches[] = {std::is_same_v<K, Kinds>...};
    std::size_t i = 0;
    while (!matches[i])
        ++i;
    return i;
}();
template <typename K> constexpr std::size_t kindIndex = kindIndexIn<K>;

template <typename U> void writeBigEndian(std::uint8_t*& out, U value) {
    const U big = toBigEndian(value);
    std::memcpy(out, &big, sizeof(U));
    out += sizeof(U);
}

// The bytes, then one to four zero bytes.
void writePadded(std::uint8_t*& out, const void* bytes, std::size_t length) {
    if (length > 0) // an empty blob may have no storage at all
        std::memcpy(out, bytes, length);
    const std::size_t padded = paddedLength(length);
    std::memset(out + length, 0, padded - length);
    out += padded;
}

std::string_view substituteText(const std::string& text, std::string& substitute) {
    substitute = printableASCII(text);
    if (!isASCII(substitute))
        substitute.clear();
    return substitute;
}

// The bytes a text is written as: its printable-ASCII form. Almost every text already
// is that, so `substitute` is rarely filled.
[[gnu::always_inline]] inline std::string_view writtenText(const std::string& text, std::string& substitute) {
    if (isPrintableASCII(text)) [[likely]]
        return text;
    return substituteText(text, substitute);
}

[[gnu::always_inline]] inline std::size_t textSize(const std::string& text) {
    std::string substitute;
    return paddedLength(writtenText(text, substitute).size());
}

[[gnu::always_inline]] inline void writeText(std::uint8_t*& out, const std::string& text) {
    std::string substitute;
    const std::string_view written = writtenText(text, substitute);
    writePadded(out, written.data(), written.size());
}

} // namespace

Result<std::int32_t, OSCEncodeError> oscLengthField(std::size_t length, const char* what) {
    if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return fail(OSCEncodeError::valueEncodingError(std::string(what) + " of " + std::to_string(length) +
                                                       " bytes is longer than the 2147483647 bytes"
                                                       " a length field can hold."));
    return static_cast<std::int32_t>(length);
}

namespace {

// The bodies of oscValueSize and writeOSCValue, inlined into the loops over a message's
// values; arrays recurse through the functions themselves.
[[gnu::always_inline]] inline Result<OSCValueSize, OSCEncodeError> measure(const OSCValue& value, int depth) {
    switch (value.index()) {
    case kindIndex<std::int32_t>:
    case kindIndex<float>:
    case kindIndex<Character>:
    case kindIndex<OSCMIDIValue>:
        return OSCValueSize{1, 4};
    case kindIndex<double>:
    case kindIndex<std::int64_t>:
    case kindIndex<OSCTimeTag>:
        return OSCValueSize{1, 8};
    case kindIndex<std::string>:
        return OSCValueSize{1, textSize(*std::get_if<std::string>(&value))};
    case kindIndex<OSCStringAltValue>:
        return OSCValueSize{1, textSize(std::get_if<OSCStringAltValue>(&value)->string)};
    case kindIndex<Blob>: {
        const std::size_t length = std::get_if<Blob>(&value)->size();
        const auto field = oscLengthField(length, "Blob");
        if (!field)
            return fail(field.error());
        return OSCValueSize{1, 4 + paddedLength(length)};
    }
    case kindIndex<OSCArrayValue>: {
        if (depth >= oscMaxNestingDepth)
            return fail(OSCEncodeError::valueEncodingError("Arrays nest deeper than " +
                                                           std::to_string(oscMaxNestingDepth) + " levels."));
        OSCValueSize size{2, 0};
        for (const OSCValue& element : std::get_if<OSCArrayValue>(&value)->elements) {
            const auto inner = oscValueSize(element, depth + 1);
            if (!inner)
                return inner;
            size.tags += inner->tags;
            size.bytes += inner->bytes;
        }
        return size;
    }
    default: // booleans, impulse and null: a tag and nothing else
        return OSCValueSize{1, 0};
    }
}

[[gnu::always_inline]] inline void write(const OSCValue& value, char*& tags, std::uint8_t*& chunk) {
    switch (value.index()) {
    case kindIndex<std::int32_t>:
        *tags++ = 'i';
        writeBigEndian(chunk, static_cast<std::uint32_t>(*std::get_if<std::int32_t>(&value)));
        break;
    case kindIndex<float>:
        *tags++ = 'f';
        writeBigEndian(chunk, std::bit_cast<std::uint32_t>(*std::get_if<float>(&value)));
        break;
    case kindIndex<std::string>:
        *tags++ = 's';
        writeText(chunk, *std::get_if<std::string>(&value));
        break;
    case kindIndex<Blob>: {
        const Blob& blob = *std::get_if<Blob>(&value);
        *tags++ = 'b';
        writeBigEndian(chunk, static_cast<std::uint32_t>(blob.size()));
        writePadded(chunk, blob.data(), blob.size());
        break;
    }
    case kindIndex<bool>:
        *tags++ = *std::get_if<bool>(&value) ? 'T' : 'F';
        break;
    case kindIndex<Character>:
        *tags++ = 'c';
        writeBigEndian(
            chunk, std::uint32_t{ASCIICharacter::lossy(std::get_if<Character>(&value)->text).asciiValue()});
        break;
    case kindIndex<double>:
        *tags++ = 'd';
        writeBigEndian(chunk, std::bit_cast<std::uint64_t>(*std::get_if<double>(&value)));
        break;
    case kindIndex<std::int64_t>:
        *tags++ = 'h';
        writeBigEndian(chunk, static_cast<std::uint64_t>(*std::get_if<std::int64_t>(&value)));
        break;
    case kindIndex<OSCImpulseValue>:
        *tags++ = 'I';
        break;
    case kindIndex<OSCMIDIValue>: {
        const OSCMIDIValue& midi = *std::get_if<OSCMIDIValue>(&value);
        *tags++ = 'm';
        *chunk++ = midi.portID;
        *chunk++ = midi.status;
        *chunk++ = midi.data1;
        *chunk++ = midi.data2;
        break;
    }
    case kindIndex<OSCNullValue>:
        *tags++ = 'N';
        break;
    case kindIndex<OSCStringAltValue>:
        *tags++ = 'S';
        writeText(chunk, std::get_if<OSCStringAltValue>(&value)->string);
        break;
    case kindIndex<OSCTimeTag>:
        *tags++ = 't';
        writeBigEndian(chunk, std::get_if<OSCTimeTag>(&value)->rawValue);
        break;
    case kindIndex<OSCArrayValue>:
        *tags++ = '[';
        for (const OSCValue& element : std::get_if<OSCArrayValue>(&value)->elements)
            writeOSCValue(element, tags, chunk);
        *tags++ = ']';
        break;
    }
}

} // namespace

Result<OSCValueSize, OSCEncodeError> oscValueSize(const OSCValue& value, int depth) {
    return measure(value, depth);
}

void writeOSCValue(const OSCValue& value, char*& tags, std::uint8_t*& chunk) {
    write(value, tags, chunk);
}

Result<Unit, OSCEncodeError> appendOSCMessage(std::vector<std::uint8_t>& out,
                                              std::span<const std::uint8_t> address,
                                              std::span<const OSCValue> values) {
    OSCValueSize size{1, 0}; // the leading ","
    for (const OSCValue& value : values) {
        const auto valueSize = measure(value, 0);
        if (!valueSize)
            return fail(valueSize.error());
        size.tags += valueSize->tags;
        size.bytes += valueSize->bytes;
    }
    const std::size_t start = out.size();
    const std::size_t tagsAt = start + paddedLength(address.size());
    const std::size_t chunksAt = tagsAt + paddedLength(size.tags);
    out.resize(chunksAt + size.bytes, 0);

    std::uint8_t* bytes = out.data();
    if (!address.empty())
        std::memcpy(bytes + start, address.data(), address.size());
    char* tags = reinterpret_cast<char*>(bytes + tagsAt);
    *tags++ = ',';
    std::uint8_t* chunk = bytes + chunksAt;
    for (const OSCValue& value : values)
        write(value, tags, chunk);
    return Unit{};
}

} // namespace detail

Result<OSCValueEncoding, OSCEncodeError> encodeOSCValue(const OSCValue& value) {
    const auto size = detail::oscValueSize(value);
    if (!size)
        return fail(size.error());
    OSCValueEncoding encoding;
    encoding.tags.resize(size->tags);
    encoding.chunk.resize(size->bytes);
    char* tags = encoding.tags.data();
    std::uint8_t* chunk = encoding.chunk.data();
    detail::writeOSCValue(value, tags, chunk);
    return encoding;
}

} // namespace pexlora
