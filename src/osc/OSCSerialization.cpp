#include "osc/OSCSerialization.h"

#include "osc/ASCIIString.h"
#include "osc/OSCValueEncoder.h"

namespace pexlora {

namespace {

using Tag = OSCValueTagIdentity::Tag;
using Variable = OSCValueTagIdentity::Variable;
using Variadic = OSCValueTagIdentity::Variadic;
using T = OSCValueToken;

template <typename V, auto read> Result<OSCValue, OSCDecodeError> decodeNumber(OSCValueDecoder& reader) {
    auto value = (reader.*read)();
    if (!value)
        return fail(value.error());
    return OSCValue(static_cast<V>(*value));
}

Result<OSCValue, OSCDecodeError> decodeString(OSCValueDecoder& reader) {
    auto text = reader.readString();
    if (!text)
        return fail(text.error());
    return OSCValue(std::move(*text));
}

Result<OSCValue, OSCDecodeError> decodeBlob(OSCValueDecoder& reader) {
    auto bytes = reader.readBlob();
    if (!bytes)
        return fail(bytes.error());
    return OSCValue(Blob(bytes->begin(), bytes->end()));
}

Result<OSCValue, OSCDecodeError> decodeBool(char tag, OSCValueDecoder&) {
    if (tag == 'T')
        return OSCValue(true);
    if (tag == 'F')
        return OSCValue(false);
    return fail(OSCDecodeError::unexpectedType(tag));
}

Result<OSCValue, OSCDecodeError> decodeCharacter(OSCValueDecoder& reader) {
    auto code = reader.readInt32();
    if (!code)
        return fail(code.error());
    std::optional<ASCIICharacter> character;
    if (*code >= 0 && *code <= 255)
        character = ASCIICharacter::fromByte(static_cast<std::uint8_t>(*code));
    if (!character)
        return fail(OSCDecodeError::malformed(
            "Character value couldn't be read. Could not form a Unicode scalar from the value."));
    return OSCValue(Character{std::string(1, character->characterValue())});
}

Result<OSCValue, OSCDecodeError> decodeImpulse(OSCValueDecoder&) {
    return OSCValue(OSCImpulseValue{});
}
Result<OSCValue, OSCDecodeError> decodeNull(OSCValueDecoder&) {
    return OSCValue(OSCNullValue{});
}

Result<OSCValue, OSCDecodeError> decodeMIDI(OSCValueDecoder& reader) {
    auto bytes = reader.readBytes(4);
    if (!bytes)
        return fail(bytes.error());
    const auto& b = *bytes;
    return OSCValue(OSCMIDIValue{b[0], b[1], b[2], b[3]});
}

Result<OSCValue, OSCDecodeError> decodeStringAlt(OSCValueDecoder& reader) {
    auto text = reader.readString();
    if (!text)
        return fail(text.error());
    return OSCValue(OSCStringAltValue{std::move(*text)});
}

Result<OSCValue, OSCDecodeError> decodeTimeTag(OSCValueDecoder& reader) {
    auto raw = reader.readUInt64();
    if (!raw)
        return fail(raw.error());
    return OSCValue(OSCTimeTag{0, *raw});
}

Result<std::optional<std::pair<std::size_t, OSCValue>>, OSCDecodeError> decodeArray(std::string_view tags,
                                                                                    OSCValueDecoder& reader) {
    if (tags.empty() || tags.front() != '[')
        return std::optional<std::pair<std::size_t, OSCValue>>();
    if (reader.arrayDepth >= oscMaxNestingDepth)
        return fail(OSCDecodeError::malformed("Arrays nest deeper than " +
                                              std::to_string(oscMaxNestingDepth) + " levels."));
    const OSCSerialization& registry = reader.context() ? *reader.context() : OSCSerialization::shared();
    OSCArrayValue array;
    ++reader.arrayDepth;
    for (std::size_t i = 1; i < tags.size();) {
        if (tags[i] == ']') {
            --reader.arrayDepth;
            return std::optional(std::pair<std::size_t, OSCValue>(i + 1, OSCValue(std::move(array))));
        }
        auto consumed = registry.decodeValue(tags.substr(i), reader, array.elements);
        if (!consumed)
            return fail(consumed.error());
        i += *consumed;
    }
    return fail(OSCDecodeError::malformed("Array termination tag ']' was not found."));
}

std::vector<OSCSerialization::Entry> builtInKinds() {
    using R = OSCValueDecoder;
    return {
        {{Tag{'i'}}, T::int32, OSCValueStaticTagDecoder{decodeNumber<std::int32_t, &R::readInt32>}},
        {{Tag{'f'}}, T::float32, OSCValueStaticTagDecoder{decodeNumber<float, &R::readFloat32>}},
        {{Tag{'s'}}, T::string, OSCValueStaticTagDecoder{decodeString}},
        {{Tag{'b'}}, T::blob, OSCValueStaticTagDecoder{decodeBlob}},
        {{Variable{"TF"}}, T::bool_, OSCValueVariableTagDecoder{decodeBool}},
        {{Tag{'c'}}, T::character, OSCValueStaticTagDecoder{decodeCharacter}},
        {{Tag{'d'}}, T::double_, OSCValueStaticTagDecoder{decodeNumber<double, &R::readDouble>}},
        {{Tag{'h'}}, T::int64, OSCValueStaticTagDecoder{decodeNumber<std::int64_t, &R::readInt64>}},
        {{Tag{'I'}}, T::impulse, OSCValueStaticTagDecoder{decodeImpulse}},
        {{Tag{'m'}}, T::midi, OSCValueStaticTagDecoder{decodeMIDI}},
        {{Tag{'N'}}, T::null, OSCValueStaticTagDecoder{decodeNull}},
        {{Tag{'S'}}, T::stringAlt, OSCValueStaticTagDecoder{decodeStringAlt}},
        {{Tag{'t'}}, T::timeTag, OSCValueStaticTagDecoder{decodeTimeTag}},
        {{Variadic{2, std::nullopt}}, T::array, OSCValueVariadicTagDecoder{decodeArray}},
    };
}

} // namespace

const OSCSerialization& OSCSerialization::shared() {
    static const OSCSerialization registry(builtInKinds());
    return registry;
}

OSCSerialization::OSCSerialization(std::vector<Entry> entries)
    : m_entries(std::move(entries)) {
    for (int tag = 0; tag < 256; ++tag) {
        for (const Entry& entry : m_entries) {
            if (entry.identity.claims(static_cast<char>(tag)))
                m_candidates[static_cast<std::size_t>(tag)].push_back(&entry);
        }
    }
}

Result<std::size_t, OSCDecodeError> OSCSerialization::decodeValue(std::string_view tags,
                                                                  OSCValueDecoder& reader,
                                                                  std::vector<OSCValue>& values) const {
    const char tag = tags.front();
    const auto kinds = candidates(tag);
    if (kinds.empty())
        return fail(
            OSCDecodeError::malformed(std::string("No concrete type found to decode OSC type tag: ") + tag));
    for (const Entry* kind : kinds) {
        if (const auto* fixed = std::get_if<OSCValueStaticTagDecoder>(&kind->decoder)) {
            auto value = fixed->block(reader);
            if (!value)
                return fail(value.error());
            values.push_back(std::move(*value));
            return std::size_t{1};
        }
        if (const auto* variable = std::get_if<OSCValueVariableTagDecoder>(&kind->decoder)) {
            auto value = variable->block(tag, reader);
            if (!value)
                return fail(value.error());
            values.push_back(std::move(*value));
            return std::size_t{1};
        }
        if (const auto* variadic = std::get_if<OSCValueVariadicTagDecoder>(&kind->decoder)) {
            auto value = variadic->block(tags, reader);
            if (!value)
                return fail(value.error());
            if (!*value)
                continue;
            values.push_back(std::move((*value)->second));
            return (*value)->first;
        }
        return fail(
            OSCDecodeError::malformed(std::string("No decoder is implemented for OSC type tag: ") + tag));
    }
    return fail(
        OSCDecodeError::internalInconsistency(std::string("No decoder found to decode OSC type tag: ") + tag +
                                              ". Only decoder types supplied by the codec can be used."));
}

} // namespace pexlora
