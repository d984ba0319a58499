#include "osc/OSCValueEncoder.h"

#include "osc/ASCIIString.h"
#include "osc/ByteOrder.h"
#include "osc/LatinASCII.h"

#include <bit>
#include <limits>

namespace pexlora {

namespace detail {

namespace {

void appendPadded(std::vector<std::uint8_t>& out, const char* bytes, std::size_t length) {
    const std::size_t start = out.size();
    out.resize(start + paddedLength(length), 0);
    if (length > 0) // an empty blob may have no storage at all
        std::memcpy(out.data() + start, bytes, length);
}

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

void append32(std::vector<std::uint8_t>& out, std::uint32_t bits) {
    appendBigEndian(out, bits);
}
void append64(std::vector<std::uint8_t>& out, std::uint64_t bits) {
    appendBigEndian(out, bits);
}

} // namespace

void appendOSCString(std::vector<std::uint8_t>& out, const std::string& text) {
    if (isPrintableASCII(text)) {
        appendPadded(out, text.data(), text.size());
        return;
    }
    std::string printable = printableASCII(text);
    if (!isASCII(printable))
        printable.clear();
    appendPadded(out, printable.data(), printable.size());
}

Result<std::int32_t, OSCEncodeError> oscLengthField(std::size_t length, const char* what) {
    if (length > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        return fail(OSCEncodeError::valueEncodingError(std::string(what) + " of " + std::to_string(length) +
                                                       " bytes is longer than the 2147483647 bytes"
                                                       " a length field can hold."));
    return static_cast<std::int32_t>(length);
}

Result<std::size_t, OSCEncodeError> oscTagCount(const OSCValue& value, int depth) {
    if (const auto* blob = std::get_if<Blob>(&value)) {
        const auto length = oscLengthField(blob->size(), "Blob");
        if (!length)
            return fail(length.error());
        return std::size_t{1};
    }
    const auto* array = std::get_if<OSCArrayValue>(&value);
    if (!array)
        return std::size_t{1};
    if (depth >= oscMaxNestingDepth)
        return fail(OSCEncodeError::valueEncodingError("Arrays nest deeper than " +
                                                       std::to_string(oscMaxNestingDepth) + " levels."));
    std::size_t count = 2;
    for (const OSCValue& element : array->elements) {
        auto inner = oscTagCount(element, depth + 1);
        if (!inner)
            return inner;
        count += *inner;
    }
    return count;
}

void appendOSCValue(const OSCValue& value, char*& tags, std::vector<std::uint8_t>& chunk) {
    switch (value.index()) {
    case kindIndex<std::int32_t>:
        *tags++ = 'i';
        append32(chunk, static_cast<std::uint32_t>(*std::get_if<std::int32_t>(&value)));
        break;
    case kindIndex<float>:
        *tags++ = 'f';
        append32(chunk, std::bit_cast<std::uint32_t>(*std::get_if<float>(&value)));
        break;
    case kindIndex<std::string>:
        *tags++ = 's';
        appendOSCString(chunk, *std::get_if<std::string>(&value));
        break;
    case kindIndex<Blob>: {
        const Blob& blob = *std::get_if<Blob>(&value);
        *tags++ = 'b';
        append32(chunk, static_cast<std::uint32_t>(blob.size()));
        appendPadded(chunk, reinterpret_cast<const char*>(blob.data()), blob.size());
        break;
    }
    case kindIndex<bool>:
        *tags++ = *std::get_if<bool>(&value) ? 'T' : 'F';
        break;
    case kindIndex<Character>:
        *tags++ = 'c';
        append32(chunk, ASCIICharacter::lossy(std::get_if<Character>(&value)->text).asciiValue());
        break;
    case kindIndex<double>:
        *tags++ = 'd';
        append64(chunk, std::bit_cast<std::uint64_t>(*std::get_if<double>(&value)));
        break;
    case kindIndex<std::int64_t>:
        *tags++ = 'h';
        append64(chunk, static_cast<std::uint64_t>(*std::get_if<std::int64_t>(&value)));
        break;
    case kindIndex<OSCImpulseValue>:
        *tags++ = 'I';
        break;
    case kindIndex<OSCMIDIValue>: {
        const OSCMIDIValue& midi = *std::get_if<OSCMIDIValue>(&value);
        *tags++ = 'm';
        chunk.insert(chunk.end(), {midi.portID, midi.status, midi.data1, midi.data2});
        break;
    }
    case kindIndex<OSCNullValue>:
        *tags++ = 'N';
        break;
    case kindIndex<OSCStringAltValue>:
        *tags++ = 'S';
        appendOSCString(chunk, std::get_if<OSCStringAltValue>(&value)->string);
        break;
    case kindIndex<OSCTimeTag>:
        *tags++ = 't';
        append64(chunk, std::get_if<OSCTimeTag>(&value)->rawValue);
        break;
    case kindIndex<OSCArrayValue>:
        *tags++ = '[';
        for (const OSCValue& element : std::get_if<OSCArrayValue>(&value)->elements)
            appendOSCValue(element, tags, chunk);
        *tags++ = ']';
        break;
    }
}

} // namespace detail

Result<OSCValueEncoding, OSCEncodeError> encodeOSCValue(const OSCValue& value) {
    const auto count = detail::oscTagCount(value);
    if (!count)
        return fail(count.error());
    OSCValueEncoding encoding;
    encoding.tags.resize(*count);
    char* tags = encoding.tags.data();
    detail::appendOSCValue(value, tags, encoding.chunk);
    return encoding;
}

} // namespace pexlora
