// SPDX-License-Identifier: GPL-3.0-or-later
#include "osc/ASCIIString.h"
#include "osc/LatinASCII.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace pexlora {
namespace {

std::vector<std::uint8_t> bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(ASCIIStringConversion, ExactAcceptsOnlyASCIIAndKeepsControlCharacters) {
    EXPECT_EQ(ASCIIString::exact("a\tb\r\n")->stringValue(), "a\tb\r\n");
    EXPECT_FALSE(ASCIIString::exact("caf\u00e9").has_value());
    EXPECT_FALSE(ASCIIString::exact("\xff").has_value()) << "invalid UTF-8 is not ASCII";
}

TEST(ASCIIStringConversion, LossyTransliteratesThenReplacesWhatIsLeft) {
    EXPECT_EQ(ASCIIString::lossy("\u00c5ngstr\u00f6m").stringValue(), "Angstrom");
    EXPECT_EQ(ASCIIString::lossy("Stra\u00dfe").stringValue(), "Strasse");
    EXPECT_EQ(ASCIIString::lossy("\u00e9\t").stringValue(), "e?");
    EXPECT_EQ(ASCIIString::lossy("\u4e2d\u6587").stringValue(), "??");
    EXPECT_EQ(ASCIIString::lossy("a\xff").stringValue(), "a?") << "invalid UTF-8 becomes one replacement";
    EXPECT_EQ(ASCIIString::lossy("x").rawData().size(), 1u);
}

TEST(ASCIIStringConversion, PrintableASCIIFastPathMatchesTheTransform) {
    std::string printable;
    for (char c = 0x20; c < 0x7f; ++c)
        printable += c;
    EXPECT_EQ(detail::transliterateLatinASCII(printable), printable);
    EXPECT_EQ(detail::printableASCII(printable), printable);
    // The slow path on the same characters, forced by one non-ASCII character at the end.
    EXPECT_EQ(detail::printableASCII(printable + "\u00e9"), printable + "e");
}

TEST(ASCIIStringConversion, FromBytesReadsNonLossyASCIIEscapes) {
    EXPECT_EQ(ASCIIString::fromBytes(bytes("plain"))->stringValue(), "plain");
    EXPECT_EQ(ASCIIString::fromBytes(bytes("a\\\\b"))->stringValue(), "a\\b");
    EXPECT_EQ(ASCIIString::fromBytes(bytes("\\101\\u0042"))->stringValue(), "AB");
    EXPECT_EQ(ASCIIString::fromBytes(bytes("C:\\path"))->stringValue(), "C:\\path") << "no escape: kept";
    EXPECT_EQ(ASCIIString::fromBytes(bytes("end\\"))->stringValue(), "end\\");
    EXPECT_FALSE(ASCIIString::fromBytes(bytes("\\u00e9")).has_value());
    EXPECT_FALSE(ASCIIString::fromBytes(bytes("\\351")).has_value());
    EXPECT_FALSE(ASCIIString::fromBytes(bytes("\x80")).has_value());
}

TEST(ASCIICharacterConversion, LossyFollowsTheThreeRules) {
    EXPECT_EQ(ASCIICharacter::lossy("\r\n").asciiValue(), '\n');
    EXPECT_EQ(ASCIICharacter::lossy("\t").asciiValue(), '\t');
    EXPECT_EQ(ASCIICharacter::lossy("\u00e9").asciiValue(), 'e');
    EXPECT_EQ(ASCIICharacter::lossy("\u00c6").asciiValue(), 'A') << "first character of \"AE\"";
    EXPECT_EQ(ASCIICharacter::lossy("\u4e2d").asciiValue(), '?');
    EXPECT_EQ(ASCIICharacter::lossy("").asciiValue(), '?');
    EXPECT_EQ(ASCIICharacter::fromByte('A')->characterValue(), 'A');
    EXPECT_FALSE(ASCIICharacter::fromByte(0x80).has_value());
}

TEST(ASCIIStringConversion, TransliterationIsSafeFromManyThreadsAtOnce) {
    std::vector<std::thread> threads;
    std::vector<std::string> results(4);
    for (std::size_t t = 0; t < results.size(); ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i)
                results[t] = ASCIIString::lossy("cr\u00e8me br\u00fbl\u00e9e").stringValue();
        });
    for (auto& thread : threads)
        thread.join();
    for (const auto& result : results)
        EXPECT_EQ(result, "creme brulee");
}

} // namespace
} // namespace pexlora

namespace pexlora {
namespace {

TEST(ASCIITests, EveryLengthAndPositionIsChecked) {
    for (std::size_t length = 0; length <= 20; ++length) {
        const std::string plain(length, 'a');
        EXPECT_TRUE(detail::isASCII(plain)) << length;
        EXPECT_TRUE(detail::isPrintableASCII(plain)) << length;
        for (std::size_t at = 0; at < length; ++at) {
            for (const int byte : {0x00, 0x1f, 0x20, 0x7e, 0x7f, 0x80, 0xff}) {
                std::string text = plain;
                text[at] = static_cast<char>(byte);
                EXPECT_EQ(detail::isASCII(text), byte < 0x80) << length << " " << at << " " << byte;
                EXPECT_EQ(detail::isPrintableASCII(text), byte >= 0x20 && byte <= 0x7e)
                    << length << " " << at << " " << byte;
            }
        }
    }
}

} // namespace
} // namespace pexlora
