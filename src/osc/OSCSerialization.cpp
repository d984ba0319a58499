#include "osc/OSCSerialization.h"

#include "osc/ASCIIString.h"
#include "osc/OSCValueEncoder.h"

namespace pexlora {

namespace {

using Tag = OSCValueTagIdentity::Tag;
using Variable = OSCValueTagIdentity::Variable;
using Variadic = OSCValueTagIdentity::Variadic;
using T = OSCValueToken;

using Values = std::vector<OSCValue>;
using Appended = Result<Unit, OSCDecodeError>;

// Each decoder serves both the registry (into an array's or a caller's vector) and the
// message decoder's direct path (into the message's own values).
template <typename V, auto read, typename Into = Values>
Appended decodeNumber(OSCValueDecoder& reader, Into& values) {
    auto value = (reader.*read)();
    if (!value)
        return fail(value.error());
    values.emplace_back(static_cast<V>(*value));
    return Unit{};
}

template <typename Text, typename Into = Values> Appended decodeText(OSCValueDecoder& reader, Into& values) {
    if (const auto plain = reader.readPlainString()) {
        // Built where it will live: moving a short std::string costs a second copy.
        if constexpr (std::is_same_v<Text, std::string>)
            values.emplace_back(std::in_place_type<std::string>, plain->data(), plain->size());
        else
            values.emplace_back(Text{std::string(*plain)});
        return Unit{};
    }
    auto text = reader.readString();
    if (!text)
        return fail(text.error());
    values.emplace_back(Text{std::move(*text)});
    return Unit{};
}

template <typename Into = Values> Appended decodeBlob(OSCValueDecoder& reader, Into& values) {
    auto bytes = reader.readBlob();
    if (!bytes)
        return fail(bytes.error());
    values.emplace_back(std::in_place_type<Blob>, bytes->begin(), bytes->end());
    return Unit{};
}

template <typename Into = Values> Appended decodeBool(char tag, OSCValueDecoder&, Into& values) {
    if (tag != 'T' && tag != 'F')
        return fail(OSCDecodeError::unexpectedType(tag));
    values.emplace_back(tag == 'T');
    return Unit{};
}

template <typename Into = Values> Appended decodeCharacter(OSCValueDecoder& reader, Into& values) {
    auto code = reader.readInt32();
    if (!code)
        return fail(code.error());
    std::optional<ASCIICharacter> character;
    if (*code >= 0 && *code <= 255)
        character = ASCIICharacter::fromByte(static_cast<std::uint8_t>(*code));
    if (!character)
        return fail(OSCDecodeError::malformed(
            "Character value couldn't be read. Could not form a Unicode scalar from the value."));
    values.emplace_back(Character{std::string(1, character->characterValue())});
    return Unit{};
}

template <typename V, typename Into = Values> Appended decodeEmpty(OSCValueDecoder&, Into& values) {
    values.emplace_back(V{});
    return Unit{};
}

template <typename Into = Values> Appended decodeMIDI(OSCValueDecoder& reader, Into& values) {
    auto bytes = reader.readBytes(4);
    if (!bytes)
        return fail(bytes.error());
    const auto& b = *bytes;
    values.emplace_back(OSCMIDIValue{b[0], b[1], b[2], b[3]});
    return Unit{};
}

template <typename Into = Values> Appended decodeTimeTag(OSCValueDecoder& reader, Into& values) {
    auto raw = reader.readUInt64();
    if (!raw)
        return fail(raw.error());
    values.emplace_back(OSCTimeTag{0, *raw});
    return Unit{};
}

Result<std::optional<std::size_t>, OSCDecodeError> decodeArray(std::string_view tags, OSCValueDecoder& reader,
                                                               Values& values) {
    if (tags.empty() || tags.front() != '[')
        return std::optional<std::size_t>();
    if (reader.arrayDepth >= oscMaxNestingDepth)
        return fail(OSCDecodeError::malformed("Arrays nest deeper than " +
                                              std::to_string(oscMaxNestingDepth) + " levels."));
    const OSCSerialization& registry = reader.context() ? *reader.context() : OSCSerialization::shared();
    OSCArrayValue array;
    ++reader.arrayDepth;
    for (std::size_t i = 1; i < tags.size();) {
        if (tags[i] == ']') {
            --reader.arrayDepth;
            values.emplace_back(std::move(array));
            return std::optional<std::size_t>(i + 1);
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
        {{Tag{'s'}}, T::string, OSCValueStaticTagDecoder{decodeText<std::string>}},
        {{Tag{'b'}}, T::blob, OSCValueStaticTagDecoder{decodeBlob<>}},
        {{Variable{"TF"}}, T::bool_, OSCValueVariableTagDecoder{decodeBool<>}},
        {{Tag{'c'}}, T::character, OSCValueStaticTagDecoder{decodeCharacter<>}},
        {{Tag{'d'}}, T::double_, OSCValueStaticTagDecoder{decodeNumber<double, &R::readDouble>}},
        {{Tag{'h'}}, T::int64, OSCValueStaticTagDecoder{decodeNumber<std::int64_t, &R::readInt64>}},
        {{Tag{'I'}}, T::impulse, OSCValueStaticTagDecoder{decodeEmpty<OSCImpulseValue>}},
        {{Tag{'m'}}, T::midi, OSCValueStaticTagDecoder{decodeMIDI<>}},
        {{Tag{'N'}}, T::null, OSCValueStaticTagDecoder{decodeEmpty<OSCNullValue>}},
        {{Tag{'S'}}, T::stringAlt, OSCValueStaticTagDecoder{decodeText<OSCStringAltValue>}},
        {{Tag{'t'}}, T::timeTag, OSCValueStaticTagDecoder{decodeTimeTag<>}},
        {{Variadic{2, std::nullopt}}, T::array, OSCValueVariadicTagDecoder{decodeArray}},
    };
}

} // namespace

const OSCSerialization& OSCSerialization::shared() {
    static const OSCSerialization registry(builtInKinds(), true);
    return registry;
}

OSCSerialization::OSCSerialization(std::vector<Entry> entries)
    : OSCSerialization(std::move(entries), false) {}

OSCSerialization::OSCSerialization(std::vector<Entry> entries, bool builtIn)
    : m_entries(std::move(entries))
    , m_builtIn(builtIn) {
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
            auto appended = fixed->block(reader, values);
            if (!appended)
                return fail(appended.error());
            return std::size_t{1};
        }
        if (const auto* variable = std::get_if<OSCValueVariableTagDecoder>(&kind->decoder)) {
            auto appended = variable->block(tag, reader, values);
            if (!appended)
                return fail(appended.error());
            return std::size_t{1};
        }
        if (const auto* variadic = std::get_if<OSCValueVariadicTagDecoder>(&kind->decoder)) {
            auto consumed = variadic->block(tags, reader, values);
            if (!consumed)
                return fail(consumed.error());
            if (!*consumed)
                continue;
            return **consumed;
        }
        return fail(
            OSCDecodeError::malformed(std::string("No decoder is implemented for OSC type tag: ") + tag));
    }
    return fail(
        OSCDecodeError::internalInconsistency(std::string("No decoder found to decode OSC type tag: ") + tag +
                                              ". Only decoder types supplied by the codec can be used."));
}

} // namespace pexlora

namespace pexlora {

namespace {

Result<std::size_t, OSCDecodeError> oneTag(const Appended& appended) {
    if (!appended)
        return fail(appended.error());
    return std::size_t{1};
}

} // namespace

Result<std::size_t, OSCDecodeError>
OSCSerialization::decodeValue(std::string_view tags, OSCValueDecoder& reader, OSCValues& values) const {
    if (!m_builtIn)
        return decodeIndirectly(tags, reader, values);
    // In the built-in registry each of these tags is claimed first by one kind with a
    // fixed decoder, so that decoder can be called without looking through candidates.
    using R = OSCValueDecoder;
    using V = OSCValues;
    switch (tags.front()) {
    case 'i':
        return oneTag(decodeNumber<std::int32_t, &R::readInt32, V>(reader, values));
    case 'f':
        return oneTag(decodeNumber<float, &R::readFloat32, V>(reader, values));
    case 's':
        return oneTag(decodeText<std::string, V>(reader, values));
    case 'b':
        return oneTag(decodeBlob<V>(reader, values));
    case 'T':
    case 'F':
        return oneTag(decodeBool<V>(tags.front(), reader, values));
    case 'c':
        return oneTag(decodeCharacter<V>(reader, values));
    case 'd':
        return oneTag(decodeNumber<double, &R::readDouble, V>(reader, values));
    case 'h':
        return oneTag(decodeNumber<std::int64_t, &R::readInt64, V>(reader, values));
    case 'I':
        return oneTag(decodeEmpty<OSCImpulseValue, V>(reader, values));
    case 'm':
        return oneTag(decodeMIDI<V>(reader, values));
    case 'N':
        return oneTag(decodeEmpty<OSCNullValue, V>(reader, values));
    case 'S':
        return oneTag(decodeText<OSCStringAltValue, V>(reader, values));
    case 't':
        return oneTag(decodeTimeTag<V>(reader, values));
    default:
        return decodeIndirectly(tags, reader, values);
    }
}

std::optional<OSCDecodeError> OSCSerialization::decodeValues(std::string_view tags, OSCValueDecoder& reader,
                                                             OSCValues& values) const {
    values.reserve(tags.size() - (tags.starts_with(',') ? 1 : 0));
    for (std::size_t i = 0; i < tags.size();) {
        if (tags[i] == ',' || tags[i] == '\0') {
            ++i;
            continue;
        }
        // The kinds of nearly every message, read here with nothing between the reader
        // and the values: through decodeValue each costs more than its bytes do.
        if (m_builtIn) {
            const auto read = [&](auto number) -> std::optional<OSCDecodeError> {
                if (!number)
                    return number.error();
                values.emplace_back(std::in_place_type<std::decay_t<decltype(*number)>>, *number);
                return std::nullopt;
            };
            std::optional<OSCDecodeError> error;
            bool done = true;
            switch (tags[i]) {
            case 'i':
                error = read(reader.readInt32());
                break;
            case 'f':
                error = read(reader.readFloat32());
                break;
            case 'h':
                error = read(reader.readInt64());
                break;
            case 'd':
                error = read(reader.readDouble());
                break;
            case 's':
                if (const auto plain = reader.readPlainString())
                    values.emplace_back(std::in_place_type<std::string>, plain->data(), plain->size());
                else
                    done = false; // escapes, or an error to report as decodeValue does
                break;
            case 'b':
                if (const auto blob = reader.readBlob())
                    values.emplace_back(std::in_place_type<Blob>, blob->begin(), blob->end());
                else
                    return blob.error();
                break;
            default:
                done = false;
            }
            if (error)
                return error;
            if (done) {
                ++i;
                continue;
            }
        }
        auto consumed = decodeValue(tags.substr(i), reader, values);
        if (!consumed)
            return consumed.error();
        i += *consumed;
    }
    return std::nullopt;
}

Result<std::size_t, OSCDecodeError>
OSCSerialization::decodeIndirectly(std::string_view tags, OSCValueDecoder& reader, OSCValues& values) const {
    std::vector<OSCValue> decoded;
    auto consumed = decodeValue(tags, reader, decoded);
    if (consumed) {
        for (OSCValue& value : decoded)
            values.push_back(std::move(value));
    }
    return consumed;
}

} // namespace pexlora
