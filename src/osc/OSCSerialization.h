// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCDecodeError.h"
#include "osc/OSCValue.h"
#include "osc/OSCValueDecoder.h"
#include "osc/OSCValueTagIdentity.h"
#include "util/Result.h"

#include <array>
#include <optional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

namespace pexlora {

// The three shapes a kind's decoder comes in, after its tag identity. Each reads one
// value into `into`, a value already in its place among the values being decoded
// (a message's or an array's), so that it is built once, where it lives.
struct OSCValueStaticTagDecoder {
    Result<Unit, OSCDecodeError> (*block)(OSCValueDecoder& reader, OSCValue& into);
};
struct OSCValueVariableTagDecoder {
    Result<Unit, OSCDecodeError> (*block)(char tag, OSCValueDecoder& reader, OSCValue& into);
};
// Given the tags from the current one to the end: nothing (and `into` untouched) when
// they are not its, else the number of tags it consumed.
struct OSCValueVariadicTagDecoder {
    Result<std::optional<std::size_t>, OSCDecodeError> (*block)(std::string_view tags,
                                                                OSCValueDecoder& reader, OSCValue& into);
};
// std::monostate stands for a kind registered without a decoder.
using OSCValueDecoderShape = std::variant<std::monostate, OSCValueStaticTagDecoder,
                                          OSCValueVariableTagDecoder, OSCValueVariadicTagDecoder>;

// The registry of value kinds, in the fixed order in which the decoder tries them. It is
// the one way from a tag to a value: messages and arrays alike decode through it.
class OSCSerialization {
public:
    struct Entry {
        OSCValueTagIdentity identity;
        OSCValueToken concreteType;
        OSCValueDecoderShape decoder;
    };

    // Built on first use; safe when several threads race to that first use.
    static const OSCSerialization& shared();

    const std::vector<Entry>& tagIdentities() const { return m_entries; }

    // The kinds that claim `tag`, in registry order; variadic kinds claim every tag.
    std::span<const Entry* const> candidates(char tag) const {
        return m_candidates[static_cast<unsigned char>(tag)];
    }

    // Decodes one value for tags.front() into `into`; the number of tags it consumed.
    Result<std::size_t, OSCDecodeError> decodeValue(std::string_view tags, OSCValueDecoder& reader,
                                                    OSCValue& into) const;
    // A message's whole tag string, appended to `values`; "," and zero bytes in it are skipped.
    Result<Unit, OSCDecodeError> decodeValues(std::string_view tags, OSCValueDecoder& reader,
                                              OSCValues& values) const;

private:
    explicit OSCSerialization(std::vector<Entry> entries);

    // decodeValue for tags[next], inlined into the loop over a message's tags; moves
    // `next` past the tags it consumed.
    Result<Unit, OSCDecodeError> decodeNext(std::string_view tags, std::size_t& next, OSCValueDecoder& reader,
                                            OSCValue& into) const;
    // Tries the candidates in order, as the decoding rule says; decodeNext takes the
    // shorter way to the same decoder when the first candidate settles the tag.
    Result<std::size_t, OSCDecodeError> decodeByCandidates(std::string_view tags, OSCValueDecoder& reader,
                                                           OSCValue& into) const;

    std::vector<Entry> m_entries;
    std::array<std::vector<const Entry*>, 256> m_candidates;
};

} // namespace pexlora
