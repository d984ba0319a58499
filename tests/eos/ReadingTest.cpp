// SPDX-License-Identifier: GPL-3.0-or-later
// What the link reads from the console: framing of the stream and the console's split lists.
#include "EosTestSupport.h"
#include "eos/EosConsoleFeedback.h"
#include "eos/EosFraming.h"
#include "eos/EosListAssembler.h"
#include "eos/EosStreamReader.h"

#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace test;

Bytes framed(EosFraming framing, const Bytes& packet) {
    const QByteArray bytes = framedPacket(framing, packet);
    const auto span = asBytes(bytes);
    return Bytes(span.begin(), span.end());
}

TEST(Framing, StoredChoicesAndTheOrderOfAttempts) {
    for (const auto choice : {EosFramingChoice::automatic, EosFramingChoice::slip, EosFramingChoice::length})
        EXPECT_EQ(framingChoiceFromKey(framingChoiceKey(choice)), choice);
    for (const char* unknown : {"", "SLIP", "auto", "osc1.0"})
        EXPECT_EQ(framingChoiceFromKey(QString::fromLatin1(unknown)), std::nullopt) << unknown;

    using enum EosFraming;
    const struct {
        EosFramingChoice choice;
        std::optional<EosFraming> remembered;
        int port;
        std::vector<EosFraming> attempts;
        EosFraming fallback;
    } table[] = {
        // The desk's own port ships length-prefixed, its third-party port is SLIP, others start SLIP.
        {EosFramingChoice::automatic, std::nullopt, 3032, {length, slip}, slip},
        {EosFramingChoice::automatic, std::nullopt, 3037, {slip, length}, slip},
        {EosFramingChoice::automatic, std::nullopt, 3038, {slip, length}, slip},
        // What the desk answered in last time wins over the port.
        {EosFramingChoice::automatic, slip, 3032, {slip, length}, slip},
        {EosFramingChoice::automatic, length, 3037, {length, slip}, slip},
        {EosFramingChoice::slip, length, 3032, {slip}, slip},
        {EosFramingChoice::length, slip, 3037, {length}, length},
    };
    for (const auto& row : table) {
        EXPECT_EQ(framingAttempts(row.choice, row.remembered, row.port), row.attempts) << row.port;
        EXPECT_EQ(fallbackFraming(row.choice), row.fallback);
    }
}

TEST(StreamReader, CutsEitherFramingHoweverTheStreamIsSplitAndEndsWhereItCannotFrame) {
    const Bytes ping = encoded(OSCMessage("/eos/out/ping", {}));
    const Bytes version = encoded(OSCMessage("/eos/out/get/version", {"3.2.8.26"}));
    const Bytes huge(EosStreamReader::maxPacketSize + 1, 0xDB); // escapes, in SLIP: twice as long on the wire
    const struct {
        EosFraming framing;
        std::vector<Bytes> packets;
        bool broken;
    } table[] = {
        // SLIP finds its place again at the next END.
        {EosFraming::slip, {ping, version, ping}, false},
        // A length that long is no packet: what follows it cannot be trusted.
        {EosFraming::length, {ping}, true},
    };
    for (const auto& row : table) {
        Bytes stream = framed(row.framing, ping);
        for (const Bytes& packet : {huge, version, Bytes{}, ping})
            for (const std::uint8_t byte : framed(row.framing, packet))
                stream.push_back(byte);
        for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{4096}, stream.size()}) {
            SCOPED_TRACE(piece);
            EosStreamReader reader(row.framing);
            std::vector<Bytes> packets;
            for (std::size_t offset = 0; offset < stream.size(); offset += piece)
                reader.feed(std::span(stream).subspan(offset, std::min(piece, stream.size() - offset)),
                            [&](std::span<const std::uint8_t> packet) {
                                packets.emplace_back(packet.begin(), packet.end());
                            });
            EXPECT_EQ(packets, row.packets);
            EXPECT_EQ(reader.broken(), row.broken);
            EXPECT_EQ(reader.droppedPackets(), row.broken ? 0u : 1u);
        }
    }
}

TEST(ListAssembler, JoinsAListSplitOverTwoMessagesAndDropsWhatDoesNotContinueIt) {
    EosListAssembler lists;
    const OSCMessage whole("/eos/out/get/patch/101/1/list/0/3", {0, "uid", "label"});
    EXPECT_EQ(lists.take(whole), OSCMessage("/eos/out/get/patch/101/1", {0, "uid", "label"}));
    EXPECT_EQ(lists.take(OSCMessage("/eos/out/ping", {1})), OSCMessage("/eos/out/ping", {1}))
        << "not a list: as it is";

    EXPECT_FALSE(lists.take(OSCMessage("/eos/out/get/patch/7/1/list/0/5", {6, "uid"})));
    EXPECT_FALSE(lists.take(OSCMessage("/eos/out/get/patch/7/1/list/3/5", {"gap"}))) << "index 2 is missing";
    EXPECT_EQ(lists.take(OSCMessage("/eos/out/get/patch/7/1/list/2/5", {"label", "Dimmer", 7})),
              OSCMessage("/eos/out/get/patch/7/1", {6, "uid", "label", "Dimmer", 7}));
    EXPECT_FALSE(lists.take(OSCMessage("/eos/out/get/patch/7/1/list/2/5", {"label", "Dimmer", 7})))
        << "its start is gone with the list it completed";

    EXPECT_FALSE(lists.take(OSCMessage("/x/list/0/2", {1, 2, 3}))) << "more values than the list has";
    EXPECT_FALSE(lists.take(OSCMessage("/x/list/0/2000000000", {1}))) << "longer than any reply";
    EXPECT_EQ(lists.take(OSCMessage("/x/list/a/2", {1})), OSCMessage("/x/list/a/2", {1}))
        << "not a list ending";

    // A hostile console: lists of long texts, each within the value count.
    const std::string text(40 * 1024, 'x');
    EXPECT_FALSE(lists.take(OSCMessage("/big/list/0/3", {text})));
    EXPECT_FALSE(lists.take(OSCMessage("/big/list/1/3", {text}))) << "over 64 KiB: dropped";
    EXPECT_FALSE(lists.take(OSCMessage("/big/list/2/3", {1}))) << "its start is gone";
    for (int i = 0; i < 30; ++i) // 1.2 MB in all
        EXPECT_FALSE(
            lists.take(OSCMessage(OSCAddressPattern("/l/" + std::to_string(i) + "/list/0/2"), {text})));
    EXPECT_FALSE(lists.take(OSCMessage("/l/0/list/1/2", {1}))) << "the oldest gave way";
    EXPECT_EQ(lists.take(OSCMessage("/l/29/list/1/2", {1})), OSCMessage("/l/29", {text, 1}));
}

TEST(ConsoleFeedback, TheDesksLineStandsInUntilThePerUserEchoComesAndAFloodIsOneUpdate) {
    std::vector<EosConsoleFields> published;
    EosConsoleFeedback feedback(
        [&](const EosConsoleFields&, const EosConsoleFields& after) { published.push_back(after); });
    const auto settled = [&](std::size_t updates) {
        return waitFor([&] { return published.size() == updates; });
    };

    EXPECT_TRUE(feedback.take(OSCMessage("/eos/out/cmd", {"LIVE: Chan 1"})));
    ASSERT_TRUE(settled(1));
    EXPECT_EQ(published.back().commandLine, QStringLiteral("LIVE: Chan 1")) << "no per-user echo yet";
    feedback.take(OSCMessage("/eos/out/user/91/cmd", {"LIVE: Label Caf\u00e9"})); // UTF-8, as desks write
    feedback.take(OSCMessage("/eos/out/cmd", {"LIVE: another user's line"}));
    ASSERT_TRUE(settled(2));
    EXPECT_EQ(published.back().commandLine, QStringLiteral("LIVE: Label Caf\u00e9"));

    for (int i = 0; i < 10000; ++i) {
        feedback.take(OSCMessage("/eos/out/active/chan", {std::to_string(i) + " [75]"}));
        feedback.take(OSCMessage("/eos/out/get/version", {"3.2.8.26"}));
    }
    EXPECT_FALSE(feedback.take(OSCMessage("/eos/out/fader/1/1/name", {"Fader"}))) << "not feedback";
    ASSERT_TRUE(settled(3)) << "the latest values in one update";
    EXPECT_EQ(published.back(),
              (EosConsoleFields{QStringLiteral("3.2.8.26"), QStringLiteral("LIVE: Label Caf\u00e9"),
                                QStringLiteral("9999 [75]")}));

    feedback.clear(); // a new link
    ASSERT_TRUE(settled(4));
    EXPECT_EQ(published.back(), EosConsoleFields());
    feedback.take(OSCMessage("/eos/out/cmd", {"LIVE: Chan 3"}));
    ASSERT_TRUE(settled(5));
    EXPECT_EQ(published.back().commandLine, QStringLiteral("LIVE: Chan 3"))
        << "the per-user echo is asked for again";
}

} // namespace
} // namespace pexlora
