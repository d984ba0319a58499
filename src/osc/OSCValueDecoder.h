#pragma once

#include "osc/OSCDecodeError.h"
#include "util/Result.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pexlora {

class OSCSerialization;

// A bounds-checked reader over one message's bytes. Every read checks what remains
// before it touches a byte, and moves `pos` past what it consumed only on success.
class OSCValueDecoder {
public:
    explicit OSCValueDecoder(std::span<const std::uint8_t> data, const OSCSerialization* context = nullptr)
        : m_context(context)
        , m_data(data) {}

    const OSCSerialization* context() const { return m_context; }
    std::span<const std::uint8_t> data() const { return m_data; }
    std::size_t pos() const { return m_pos; }
    std::size_t remaining() const { return m_data.size() - m_pos; }

    Result<std::int32_t, OSCDecodeError> readInt32();
    Result<float, OSCDecodeError> readFloat32();
    Result<std::int64_t, OSCDecodeError> readInt64();
    Result<double, OSCDecodeError> readDouble();
    Result<std::uint64_t, OSCDecodeError> readUInt64();
    Result<std::span<const std::uint8_t>, OSCDecodeError> readBytes(std::ptrdiff_t count);
    Result<Unit, OSCDecodeError> advance(std::ptrdiff_t count);
    // The bytes before the first zero; the chunk ends after one to four zero bytes.
    Result<std::span<const std::uint8_t>, OSCDecodeError> readNullTerminatedChunk();
    Result<std::string, OSCDecodeError> readString();
    // The common case of readString, read in place: a well-formed chunk of ASCII without
    // backslash escapes. Nothing, and nothing consumed, for anything else.
    std::optional<std::string_view> readPlainString();
    // A blob as our encoder writes it (one to four zero bytes after the data) or, when the
    // length is a multiple of 4 and no four zero bytes follow, as OSC 1.0 writes it (none).
    Result<std::span<const std::uint8_t>, OSCDecodeError> readBlob();

    // How many arrays enclose the value being read; kept here so that the nesting
    // cap needs no extra parameter through the registry's decoders.
    int arrayDepth = 0;

private:
    const OSCSerialization* m_context;
    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
};

} // namespace pexlora
