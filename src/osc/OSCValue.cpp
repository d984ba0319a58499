// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/OSCValue.h"

#include <charconv>
#include <cstdio>

namespace pexlora {

namespace {

template <typename F> std::string floatText(F value) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, error == std::errc() ? end : buffer);
    if (text.find_first_not_of("-0123456789") == std::string::npos)
        text += ".0";
    return text;
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text)
        appendEscaped(out, c);
    return out + "\"";
}

std::string hexByte(std::uint8_t byte) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "0x%02X", byte);
    return buffer;
}

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

} // namespace

OSCValueToken token(const OSCValue& value) {
    static constexpr OSCValueToken byKind[] = {
        OSCValueToken::int32,   OSCValueToken::float32,   OSCValueToken::string,  OSCValueToken::blob,
        OSCValueToken::bool_,   OSCValueToken::character, OSCValueToken::double_, OSCValueToken::int64,
        OSCValueToken::impulse, OSCValueToken::midi,      OSCValueToken::null,    OSCValueToken::stringAlt,
        OSCValueToken::timeTag, OSCValueToken::array,
    };
    static_assert(std::size(byKind) == std::variant_size_v<OSCValueVariant>);
    return byKind[value.index()];
}

void appendEscaped(std::string& out, char c) {
    switch (c) {
    case '"':
        out += "\\\"";
        return;
    case '\\':
        out += "\\\\";
        return;
    case '\n':
        out += "\\n";
        return;
    case '\r':
        out += "\\r";
        return;
    case '\t':
        out += "\\t";
        return;
    default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escaped[8];
            const auto code = static_cast<unsigned>(static_cast<unsigned char>(c));
            std::snprintf(escaped, sizeof escaped, "\\x%02X", code);
            out += escaped;
        } else {
            out += c;
        }
    }
}

std::string description(const OSCMIDIValue& midi) {
    return "MIDI(portID: " + hexByte(midi.portID) + ", status: " + hexByte(midi.status) +
           ", data1: " + hexByte(midi.data1) + ", data2: " + hexByte(midi.data2) + ")";
}

std::string description(const OSCValue& value) {
    return std::visit(
        Overloaded{
            [](std::int32_t v) { return std::to_string(v); },
            [](float v) { return floatText(v); },
            [](const std::string& v) { return quoted(v); },
            [](const Blob& v) { return std::to_string(v.size()) + " bytes"; },
            [](bool v) { return std::string(v ? "true" : "false"); },
            [](const Character& v) { return quoted(v.text); },
            [](double v) { return floatText(v); },
            [](std::int64_t v) { return std::to_string(v); },
            [](OSCImpulseValue) { return std::string("Impulse"); },
            [](const OSCMIDIValue& v) { return description(v); },
            [](OSCNullValue) { return std::string("Null"); },
            [](const OSCStringAltValue& v) { return "OSCStringAltValue(string: " + quoted(v.string) + ")"; },
            [](const OSCTimeTag& v) { return v.description(); },
            [](const OSCArrayValue& v) { return "OSCArrayValue(elements: " + description(v.elements) + ")"; },
        },
        value.variant());
}

std::string description(std::span<const OSCValue> values) {
    std::string out = "[";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += ", ";
        out += description(values[i]);
    }
    return out + "]";
}

} // namespace pexlora
