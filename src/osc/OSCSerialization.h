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
#include <utility>
#include <variant>
#include <vector>

namespace pexlora {

// The three shapes a kind's decoder comes in, after its tag identity. Each reads one
// value and appends it to the values being decoded, so that a value is built once, in
// place, rather than moved through a result.
struct OSCValueStaticTagDecoder {
    Result<Unit, OSCDecodeError> (*block)(OSCValueDecoder& reader, std::vector<OSCValue>& values);
};
struct OSCValueVariableTagDecoder {
    Result<Unit, OSCDecodeError> (*block)(char tag, OSCValueDecoder& reader, std::vector<OSCValue>& values);
};
// Given the tags from the current one to the end: nothing (and no value) when they are
// not its, else the number of tags it consumed.
struct OSCValueVariadicTagDecoder {
    Result<std::optional<std::size_t>, OSCDecodeError> (*block)(std::string_view tags,
                                                                OSCValueDecoder& reader,
                                                                std::vector<OSCValue>& values);
};
// std::monostate stands for a kind registered without a decoder.
using OSCValueDecoderShape = std::variant<std::monostate, OSCValueStaticTagDecoder,
                                          OSCValueVariableTagDecoder, OSCValueVariadicTagDecoder>;

// The registry of value kinds, in the fixed order in which the decoder tries them.
class OSCSerialization {
public:
    struct Entry {
        OSCValueTagIdentity identity;
        OSCValueToken concreteType;
        OSCValueDecoderShape decoder;
    };

    // Built on first use; safe when several threads race to that first use.
    static const OSCSerialization& shared();

    explicit OSCSerialization(std::vector<Entry> entries);

    const std::vector<Entry>& tagIdentities() const { return m_entries; }

    // The kinds that claim `tag`, in registry order; variadic kinds claim every tag.
    std::span<const Entry* const> candidates(char tag) const {
        return m_candidates[static_cast<unsigned char>(tag)];
    }

    // Decodes one value for tags[0] and appends it to `values`; the number of tags it consumed.
    Result<std::size_t, OSCDecodeError> decodeValue(std::string_view tags, OSCValueDecoder& reader,
                                                    std::vector<OSCValue>& values) const;
    // The same, into a message's values.
    Result<std::size_t, OSCDecodeError> decodeValue(std::string_view tags, OSCValueDecoder& reader,
                                                    OSCValues& values) const;
    // A message's whole tag string; "," and zero bytes in it are skipped.
    std::optional<OSCDecodeError> decodeValues(std::string_view tags, OSCValueDecoder& reader,
                                               OSCValues& values) const;

private:
    OSCSerialization(std::vector<Entry> entries, bool builtIn);

    Result<std::size_t, OSCDecodeError> decodeIndirectly(std::string_view tags, OSCValueDecoder& reader,
                                                         OSCValues& values) const;

    std::vector<Entry> m_entries;
    std::array<std::vector<const Entry*>, 256> m_candidates;
    // True only for shared(), whose kinds the message decoder may pick by tag directly.
    bool m_builtIn = false;
};

} // namespace pexlora
