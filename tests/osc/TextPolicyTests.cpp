// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a console's UTF-8 text costs no packet; the default strict reading is unchanged.
#include "OSCTestSupport.h"

#include <optional>

namespace pexlora {
namespace {

// The one string of "/eos/out/cmd" written as these bytes, inside a bundle beside a ping.
std::optional<std::string> commandText(std::string_view text, OSCTextPolicy policy) {
    Bytes command = concat({bytesOf(std::string_view("/eos/out/cmd\0\0\0\0,s\0\0", 20)), bytesOf(text)});
    command.resize((command.size() / 4 + 1) * 4, 0);
    const Bytes ping = encoded(OSCMessage("/eos/out/ping", {}));
    const auto size = [](const Bytes& element) {
        return Bytes{0, 0, 0, static_cast<std::uint8_t>(element.size())};
    };
    const auto decoded = decodeOSCPacket(concat({bytesOf(std::string_view("#bundle\0\0\0\0\0\0\0\0\1", 16)),
                                                 size(command), command, size(ping), ping}),
                                         policy);
    if (!decoded.ok())
        return std::nullopt;
    const OSCMessage* message = decoded.value()->bundle()->elements.at(0).message();
    EXPECT_EQ(message->_rawData, OSCRawBytes(command.begin(), command.end())) << "passed on as it came";
    return std::get<std::string>(message->values[0]);
}

TEST(OSCTextPolicy, LenientReadsUTF8AndReplacesEachIllFormedSequenceWhereStrictRefuses) {
    const std::string fffd = "\xEF\xBF\xBD";
    const struct {
        std::string_view bytes;
        std::string lenient;
        bool strictReads;
    } table[] = {
        {"Cue 1 Label Caf\xC3\xA9 Enter", "Cue 1 Label Caf\u00e9 Enter", false},
        {"\xE2\x82\xAC\xF0\x9F\x92\xA1", "\u20ac\U0001F4A1", false},       // three and four bytes
        {"\xE2\x82xK\xC3", fffd + "xK" + fffd, false},                     // one for a broken run; cut short
        {"\x80\xC0\xAF", fffd + fffd + fffd, false},                       // lone continuation; overlong "/"
        {"\xED\xA0\x80\xF4\x90", fffd + fffd + fffd + fffd + fffd, false}, // a surrogate; beyond U+10FFFF
        {"\xFF", fffd, false},                                             // never in UTF-8
        {"\\u00e9\\351\\ud83d", "\u00e9\u00e9" + fffd, false}, // escapes beyond ASCII; half a character
        {"a\\\\b\\101 C:\\path", "a\\bA C:\\path", true},      // ASCII escapes, as strict reads them
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.lenient);
        EXPECT_EQ(commandText(row.bytes, OSCTextPolicy::lenientUTF8), row.lenient);
        EXPECT_EQ(commandText(row.bytes, OSCTextPolicy::strictASCII),
                  row.strictReads ? std::optional(row.lenient) : std::nullopt);
    }

    // An address keeps to ASCII: a label in one reads as its stand-in.
    const Bytes labelled =
        concat({bytesOf("/eos/out/K\xC3\xBC"), bytesOf(std::string_view("che\0,\0\0\0", 8))});
    const auto message = decodeOSCMessage(labelled, OSCTextPolicy::lenientUTF8);
    ASSERT_TRUE(message.ok());
    EXPECT_EQ(message->addressPattern.rawAddress(), "/eos/out/Kuche");
    EXPECT_FALSE(decodeOSCMessage(labelled).ok()) << "strict is the default";
}

} // namespace
} // namespace pexlora
