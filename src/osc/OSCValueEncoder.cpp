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

void append32(std::vector<std::uint8_t>& out, std::uint32_t bits) {
    appendBigEndian(out, bits);
}
void append64(std::vector<std::uint8_t>& out, std::uint64_t bits) {
    appendBigEndian(out, bits);
}

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

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

std::optional<OSCEncodeError> appendOSCValue(const OSCValue& value, char*& tags,
                                             std::vector<std::uint8_t>& chunk) {
    return std::visit(Overloaded{
                          [&](std::int32_t v) -> std::optional<OSCEncodeError> {
                              *tags++ = 'i';
                              append32(chunk, static_cast<std::uint32_t>(v));
                              return std::nullopt;
                          },
                          [&](float v) -> std::optional<OSCEncodeError> {
                              *tags++ = 'f';
                              append32(chunk, std::bit_cast<std::uint32_t>(v));
                              return std::nullopt;
                          },
                          [&](const std::string& v) -> std::optional<OSCEncodeError> {
                              *tags++ = 's';
                              appendOSCString(chunk, v);
                              return std::nullopt;
                          },
                          [&](const Blob& v) -> std::optional<OSCEncodeError> {
                              const auto length = oscLengthField(v.size(), "Blob");
                              if (!length)
                                  return length.error();
                              *tags++ = 'b';
                              append32(chunk, static_cast<std::uint32_t>(*length));
                              appendPadded(chunk, reinterpret_cast<const char*>(v.data()), v.size());
                              return std::nullopt;
                          },
                          [&](bool v) -> std::optional<OSCEncodeError> {
                              *tags++ = v ? 'T' : 'F';
                              return std::nullopt;
                          },
                          [&](const Character& v) -> std::optional<OSCEncodeError> {
                              *tags++ = 'c';
                              append32(chunk, ASCIICharacter::lossy(v.text).asciiValue());
                              return std::nullopt;
                          },
                          [&](double v) -> std::optional<OSCEncodeError> {
                              *tags++ = 'd';
                              append64(chunk, std::bit_cast<std::uint64_t>(v));
                              return std::nullopt;
                          },
                          [&](std::int64_t v) -> std::optional<OSCEncodeError> {
                              *tags++ = 'h';
                              append64(chunk, static_cast<std::uint64_t>(v));
                              return std::nullopt;
                          },
                          [&](OSCImpulseValue) -> std::optional<OSCEncodeError> {
                              *tags++ = 'I';
                              return std::nullopt;
                          },
                          [&](const OSCMIDIValue& v) -> std::optional<OSCEncodeError> {
                              *tags++ = 'm';
                              chunk.insert(chunk.end(), {v.portID, v.status, v.data1, v.data2});
                              return std::nullopt;
                          },
                          [&](OSCNullValue) -> std::optional<OSCEncodeError> {
                              *tags++ = 'N';
                              return std::nullopt;
                          },
                          [&](const OSCStringAltValue& v) -> std::optional<OSCEncodeError> {
                              *tags++ = 'S';
                              appendOSCString(chunk, v.string);
                              return std::nullopt;
                          },
                          [&](const OSCTimeTag& v) -> std::optional<OSCEncodeError> {
                              *tags++ = 't';
                              append64(chunk, v.rawValue);
                              return std::nullopt;
                          },
                          [&](const OSCArrayValue& v) -> std::optional<OSCEncodeError> {
                              *tags++ = '[';
                              for (const OSCValue& element : v.elements) {
                                  if (auto error = appendOSCValue(element, tags, chunk))
                                      return error;
                              }
                              *tags++ = ']';
                              return std::nullopt;
                          },
                      },
                      value.variant());
}

} // namespace detail

Result<OSCValueEncoding, OSCEncodeError> encodeOSCValue(const OSCValue& value) {
    const auto count = detail::oscTagCount(value);
    if (!count)
        return fail(count.error());
    OSCValueEncoding encoding;
    encoding.tags.resize(*count);
    char* tags = encoding.tags.data();
    if (auto error = detail::appendOSCValue(value, tags, encoding.chunk))
        return fail(*error);
    return encoding;
}

} // namespace pexlora
