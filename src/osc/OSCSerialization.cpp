// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/OSCSerialization.h"

#include "osc/ASCIIString.h"
#include "osc/OSCValueEncoder.h"

#include <array>
#include <iterator>
#include <memory>
#include <utility>

namespace pexlora {

namespace {

using Tag = OSCValueTagIdentity::Tag;
using Variable = OSCValueTagIdentity::Variable;
using Variadic = OSCValueTagIdentity::Variadic;
using T = OSCValueToken;

using Decoded = Result<Unit, OSCDecodeError>;

// Builds a V over `into`. The decoding loops hand each decoder a fresh Int32 0 to build
// over; an Int32 has nothing to destroy, so its life simply ends when the value is built
// in its place, without the visit that replacing a variant's alternative costs.
template <typename V, typename... Args>
[[gnu::always_inline]] inline void place(OSCValue& into, Args&&... args) {
    if (into.index() != 0) [[unlikely]]
        into.emplace<std::int32_t>();
    try {
        std::construct_at(&into, std::in_place_type<V>, std::forward<Args>(args)...);
    } catch (...) {
        std::construct_at(&into); // an allocation failed: leave a whole value behind
        throw;
    }
}

// One decoder per kind; the registry below is the only place that names them.

template <typename V, auto read>
[[gnu::always_inline]] inline Decoded decodeNumber(OSCValueDecoder& reader, OSCValue& into) {
    const auto value = (reader.*read)();
    if (!value)
        return fail(value.error());
    place<V>(into, *value);
    return Unit{};
}

[[gnu::always_inline]] inline Decoded decodeString(OSCValueDecoder& reader, OSCValue& into) {
    std::string unescaped;
    const auto text = reader.readString(unescaped);
    if (!text)
        return fail(text.error());
    place<std::string>(into, *text);
    return Unit{};
}

Decoded decodeStringAlt(OSCValueDecoder& reader, OSCValue& into) {
    std::string unescaped;
    const auto text = reader.readString(unescaped);
    if (!text)
        return fail(text.error());
    place<OSCStringAltValue>(into, OSCStringAltValue{std::string(*text)});
    return Unit{};
}

[[gnu::always_inline]] inline Decoded decodeBlob(OSCValueDecoder& reader, OSCValue& into) {
    const auto bytes = reader.readBlob();
    if (!bytes)
        return fail(bytes.error());
    place<Blob>(into, bytes->begin(), bytes->end());
    return Unit{};
}

Decoded decodeBool(char tag, OSCValueDecoder&, OSCValue& into) {
    if (tag != 'T' && tag != 'F')
        return fail(OSCDecodeError::unexpectedType(tag));
    place<bool>(into, tag == 'T');
    return Unit{};
}

Decoded decodeCharacter(OSCValueDecoder& reader, OSCValue& into) {
    const auto code = reader.readInt32();
    if (!code)
        return fail(code.error());
    std::optional<ASCIICharacter> character;
    if (*code >= 0 && *code <= 255)
        character = ASCIICharacter::fromByte(static_cast<std::uint8_t>(*code));
    if (!character)
        return fail(OSCDecodeError::malformed(
            "Character value couldn't be read. Could not form a Unicode scalar from the value."));
    place<Character>(into, Character{std::string(1, character->characterValue())});
    return Unit{};
}

template <typename V> Decoded decodeEmpty(OSCValueDecoder&, OSCValue& into) {
    place<V>(into);
    return Unit{};
}

Decoded decodeMIDI(OSCValueDecoder& reader, OSCValue& into) {
    const auto bytes = reader.readBytes(4);
    if (!bytes)
        return fail(bytes.error());
    const auto& b = *bytes;
    place<OSCMIDIValue>(into, OSCMIDIValue{b[0], b[1], b[2], b[3]});
    return Unit{};
}

Decoded decodeTimeTag(OSCValueDecoder& reader, OSCValue& into) {
    const auto raw = reader.readUInt64();
    if (!raw)
        return fail(raw.error());
    place<OSCTimeTag>(into, OSCTimeTag{0, *raw});
    return Unit{};
}

Result<std::optional<std::size_t>, OSCDecodeError> decodeArray(std::string_view tags, OSCValueDecoder& reader,
                                                               OSCValue& into) {
    if (tags.empty() || tags.front() != '[')
        return std::optional<std::size_t>();
    if (reader.arrayDepth >= oscMaxNestingDepth)
        return fail(OSCDecodeError::malformed("Arrays nest deeper than " +
                                              std::to_string(oscMaxNestingDepth) + " levels."));
    const OSCSerialization& registry = reader.context() ? *reader.context() : OSCSerialization::shared();
    place<OSCArrayValue>(into);
    auto& elements = std::get_if<OSCArrayValue>(&into)->elements;
    ++reader.arrayDepth;
    for (std::size_t i = 1; i < tags.size();) {
        if (tags[i] == ']') {
            --reader.arrayDepth;
            return std::optional<std::size_t>(i + 1);
        }
        // The element is decoded where it stays; only its own elements, never these,
        // change while it is read.
        const auto consumed = registry.decodeValue(tags.substr(i), reader, elements.emplace_back());
        if (!consumed)
            return fail(consumed.error());
        i += *consumed;
    }
    return fail(OSCDecodeError::malformed("Array termination tag ']' was not found."));
}

using R = OSCValueDecoder;

// The fourteen kinds, in registry order.
constexpr OSCSerialization::Entry builtInKinds[] = {
    {{Tag{'i'}}, T::int32, OSCValueStaticTagDecoder{decodeNumber<std::int32_t, &R::readInt32>}},
    {{Tag{'f'}}, T::float32, OSCValueStaticTagDecoder{decodeNumber<float, &R::readFloat32>}},
    {{Tag{'s'}}, T::string, OSCValueStaticTagDecoder{decodeString}},
    {{Tag{'b'}}, T::blob, OSCValueStaticTagDecoder{decodeBlob}},
    {{Variable{"TF"}}, T::bool_, OSCValueVariableTagDecoder{decodeBool}},
    {{Tag{'c'}}, T::character, OSCValueStaticTagDecoder{decodeCharacter}},
    {{Tag{'d'}}, T::double_, OSCValueStaticTagDecoder{decodeNumber<double, &R::readDouble>}},
    {{Tag{'h'}}, T::int64, OSCValueStaticTagDecoder{decodeNumber<std::int64_t, &R::readInt64>}},
    {{Tag{'I'}}, T::impulse, OSCValueStaticTagDecoder{decodeEmpty<OSCImpulseValue>}},
    {{Tag{'m'}}, T::midi, OSCValueStaticTagDecoder{decodeMIDI}},
    {{Tag{'N'}}, T::null, OSCValueStaticTagDecoder{decodeEmpty<OSCNullValue>}},
    {{Tag{'S'}}, T::stringAlt, OSCValueStaticTagDecoder{decodeStringAlt}},
    {{Tag{'t'}}, T::timeTag, OSCValueStaticTagDecoder{decodeTimeTag}},
    {{Variadic{2, std::nullopt}}, T::array, OSCValueVariadicTagDecoder{decodeArray}},
};
constexpr std::size_t kindCount = std::size(builtInKinds);

constexpr bool readsOneTag(const OSCValueDecoderShape& decoder) {
    return std::holds_alternative<OSCValueStaticTagDecoder>(decoder) ||
           std::holds_alternative<OSCValueVariableTagDecoder>(decoder);
}

// For each tag, the kind whose decoder settles it: its first candidate, when that one
// reads one value for one tag and so cannot pass it on (a variadic kind can). This is
// the candidate rule worked out at compile time, so that the settling decoder, the
// registry's own, is called directly and inlined: through a pointer, calling it costs
// more than a number's bytes do.
constexpr auto settlingKind = [] {
    std::array<std::uint8_t, 256> kinds{};
    for (std::size_t tag = 0; tag < kinds.size(); ++tag) {
        kinds[tag] = kindCount;
        for (std::size_t kind = 0; kind < kindCount; ++kind) {
            if (!builtInKinds[kind].identity.claims(static_cast<char>(tag)))
                continue;
            if (readsOneTag(builtInKinds[kind].decoder))
                kinds[tag] = static_cast<std::uint8_t>(kind);
            break;
        }
    }
    return kinds;
}();

template <std::size_t Kind>
[[gnu::always_inline]] inline Decoded decodeKind(char tag, OSCValueDecoder& reader, OSCValue& into) {
    constexpr const OSCValueDecoderShape& shape = builtInKinds[Kind].decoder;
    if constexpr (std::holds_alternative<OSCValueStaticTagDecoder>(shape))
        return std::get<OSCValueStaticTagDecoder>(shape).block(reader, into);
    else if constexpr (std::holds_alternative<OSCValueVariableTagDecoder>(shape))
        return std::get<OSCValueVariableTagDecoder>(shape).block(tag, reader, into);
    else
        return Unit{}; // not reached: settlingKind names only kinds of the shapes above
}

[[gnu::always_inline]] inline Decoded decodeSettled(std::size_t kind, char tag, OSCValueDecoder& reader,
                                                    OSCValue& into) {
    static_assert(kindCount == 14, "one case for each kind");
    switch (kind) {
    case 0:
        return decodeKind<0>(tag, reader, into);
    case 1:
        return decodeKind<1>(tag, reader, into);
    case 2:
        return decodeKind<2>(tag, reader, into);
    case 3:
        return decodeKind<3>(tag, reader, into);
    case 4:
        return decodeKind<4>(tag, reader, into);
    case 5:
        return decodeKind<5>(tag, reader, into);
    case 6:
        return decodeKind<6>(tag, reader, into);
    case 7:
        return decodeKind<7>(tag, reader, into);
    case 8:
        return decodeKind<8>(tag, reader, into);
    case 9:
        return decodeKind<9>(tag, reader, into);
    case 10:
        return decodeKind<10>(tag, reader, into);
    case 11:
        return decodeKind<11>(tag, reader, into);
    case 12:
        return decodeKind<12>(tag, reader, into);
    default:
        return decodeKind<13>(tag, reader, into);
    }
}

} // namespace

const OSCSerialization& OSCSerialization::shared() {
    static const OSCSerialization registry({std::begin(builtInKinds), std::end(builtInKinds)});
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

Result<std::size_t, OSCDecodeError>
OSCSerialization::decodeValue(std::string_view tags, OSCValueDecoder& reader, OSCValue& into) const {
    std::size_t next = 0;
    if (auto decoded = decodeNext(tags, next, reader, into); !decoded)
        return fail(decoded.error());
    return next;
}

[[gnu::always_inline]] inline Result<Unit, OSCDecodeError>
OSCSerialization::decodeNext(std::string_view tags, std::size_t& next, OSCValueDecoder& reader,
                             OSCValue& into) const {
    const char tag = tags[next];
    const std::size_t kind = settlingKind[static_cast<unsigned char>(tag)];
    if (kind != kindCount) {
        ++next; // the usual step, kept out of any result so that it can stay in a register
        return decodeSettled(kind, tag, reader, into);
    }
    const auto consumed = decodeByCandidates(tags.substr(next), reader, into);
    if (!consumed)
        return fail(consumed.error());
    next += *consumed;
    return Unit{};
}

Result<std::size_t, OSCDecodeError>
OSCSerialization::decodeByCandidates(std::string_view tags, OSCValueDecoder& reader, OSCValue& into) const {
    const char tag = tags.front();
    const auto kinds = candidates(tag);
    if (kinds.empty())
        return fail(
            OSCDecodeError::malformed(std::string("No concrete type found to decode OSC type tag: ") + tag));
    for (const Entry* kind : kinds) {
        if (const auto* fixed = std::get_if<OSCValueStaticTagDecoder>(&kind->decoder)) {
            const auto decoded = fixed->block(reader, into);
            if (!decoded)
                return fail(decoded.error());
            return std::size_t{1};
        }
        if (const auto* variable = std::get_if<OSCValueVariableTagDecoder>(&kind->decoder)) {
            const auto decoded = variable->block(tag, reader, into);
            if (!decoded)
                return fail(decoded.error());
            return std::size_t{1};
        }
        if (const auto* variadic = std::get_if<OSCValueVariadicTagDecoder>(&kind->decoder)) {
            const auto consumed = variadic->block(tags, reader, into);
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

Result<Unit, OSCDecodeError> OSCSerialization::decodeValues(std::string_view tags, OSCValueDecoder& reader,
                                                            OSCValues& values) const {
    values.reserve(tags.size() - (tags.starts_with(',') ? 1 : 0));
    for (std::size_t i = 0; i < tags.size();) {
        if (tags[i] == ',' || tags[i] == '\0') {
            ++i;
            continue;
        }
        if (auto decoded = decodeNext(tags, i, reader, values.emplace_back()); !decoded)
            return decoded;
    }
    return Unit{};
}

} // namespace pexlora
