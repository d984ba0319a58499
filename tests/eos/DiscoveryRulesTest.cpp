// SPDX-License-Identifier: GPL-3.0-or-later
// Reading discovery replies, the host list and where requests go.
#include "EosTestSupport.h"
#include "eos/BroadcastAddresses.h"
#include "eos/EosDiscoveryReply.h"
#include "eos/EosHostTable.h"
#include "osc/OSCPacketDecoder.h"

#include <QCollator>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace test;

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

Bytes rawReply(std::string_view tags, std::initializer_list<std::string_view> strings, Bytes tail = {}) {
    Bytes bytes;
    appendOSCString(bytes, "/etc/discovery/reply");
    appendOSCString(bytes, tags);
    for (const std::string_view string : strings)
        appendOSCString(bytes, string);
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

const QString consoleIP = QStringLiteral("10.0.0.5");

TEST(DiscoveryRules, RawNameTextSplitsIntoNameAndType) {
    const std::vector<std::tuple<const char*, const char*, const char*>> cases = {
        {"Main Eos (ETCnomad)", "Main Eos", "ETCnomad"},
        {"Desk 2", "Desk 2", ""},
        {"Desk (A) (B)", "Desk (A)", "B"},
        {"(Eos)", "(Eos)", ""},
        {"Desk ()", "Desk ()", ""},
        {"  Desk ( Ion ) \n", "Desk", "Ion"},
        {"Desk (Ion) x", "Desk (Ion) x", ""},
        {"Desk )Ion(", "Desk )Ion(", ""},
    };
    for (const auto& [raw, name, type] : cases)
        EXPECT_EQ(splitConsoleName(text(raw)), (EosConsoleName{text(name), text(type)})) << raw;
}

TEST(DiscoveryRules, RuleAReadsThePortAndNameArguments) {
    const auto host =
        hostFromReplyMessage(OSCMessage("/etc/discovery/reply", {3037, "Console A (Eos Ti)"}), consoleIP);
    ASSERT_TRUE(host);
    EXPECT_EQ(*host,
              (EosDiscoveredHost{QStringLiteral("osc:10.0.0.5:3037"), consoleIP, QStringLiteral("Console A"),
                                 QStringLiteral("Eos Ti"), EosSessionState::unknown, 3037}));
    EXPECT_EQ(
        hostFromReplyMessage(OSCMessage("/etc/discovery/reply", {3037, "Desk"}), consoleIP)->consoleType,
        QStringLiteral("OSC"));

    struct Case {
        OSCValues values;
        std::optional<std::uint16_t> port; // nothing: the reply is rejected
    };
    const std::vector<Case> cases = {
        {{" 3037 ", "Desk"}, 3037},
        {{"+3037\n", "Desk"}, 3037},
        {{std::int64_t{3037}, "Desk"}, 3037},
        {{1, "Desk"}, 1},
        {{65535, "Desk"}, 65535},
        {{3037, "Desk", 2.5f, "more"}, 3037},
        {{0, "Desk"}, {}},
        {{70000, "Desk"}, {}},
        {{-3037, "Desk"}, {}},
        {{"-3037", "Desk"}, {}},
        {{"abc", "Desk"}, {}},
        {{"30 37", "Desk"}, {}},
        {{2.5f, "Desk"}, {}},
        {{3037.0, "Desk"}, {}},
        {{3037}, {}},
        {{3037, " \n "}, {}},
        {{3037, 5}, {}},
        {{OSCStringAltValue{"3037"}, "Desk"}, {}},
        {{std::int64_t{1} << 40, "Desk"}, {}},
    };
    for (const Case& c : cases) {
        const OSCMessage message("/etc/discovery/reply", c.values);
        const auto read = hostFromReplyMessage(message, consoleIP);
        EXPECT_EQ(read ? std::optional(read->oscTCPPort) : std::nullopt, c.port) << message.description();
    }
}

TEST(DiscoveryRules, RuleBReadsRepliesTheCodecRefuses) {
    // An unknown tag "r" after the two arguments, and a length that is not a multiple of 4.
    const Bytes unknownTag = {
        '/',  'e',  't',  'c',  // address "/etc/discovery/reply"
        '/',  'd',  'i',  's',  //
        'c',  'o',  'v',  'e',  //
        'r',  'y',  '/',  'r',  //
        'e',  'p',  'l',  'y',  //
        0,    0,    0,    0,    // its terminator and padding
        ',',  'i',  's',  'r',  // type tags: port, name, something unknown
        0,    0,    0,    0,    //
        0x00, 0x00, 0x0B, 0xDD, // port 3037, big-endian
        'D',  'e',  's',  'k',  // name "Desk (Ion)"
        ' ',  '(',  'I',  'o',  //
        'n',  ')',  0,    0,    //
        0xFF, 0xFF,             // a stray tail
    };
    EXPECT_FALSE(decodeOSCPacket(unknownTag).ok());
    const auto host = hostFromDatagram(unknownTag, consoleIP);
    ASSERT_TRUE(host);
    EXPECT_EQ(*host, makeDiscoveredHost(3037, QStringLiteral("Desk (Ion)"), consoleIP));
    EXPECT_EQ(host->name, QStringLiteral("Desk"));

    // A name that is not ASCII reads as UTF-8; broken sequences become U+FFFD.
    const Bytes utf8Name = rawReply(",ss", {"3037", "B\xC3\xBChne 1 (Eos)"});
    EXPECT_FALSE(decodeOSCPacket(utf8Name).ok());
    EXPECT_EQ(hostFromDatagram(utf8Name, consoleIP)->name, QString::fromUtf8("Bühne 1"));
    EXPECT_EQ(hostFromDatagram(rawReply(",is", {}, {0, 0, 0x0B, 0xDD, 'A', 0xC3, 0, 0}), consoleIP)->name,
              QStringLiteral("A") + QChar(QChar::ReplacementCharacter));

    // A reply the codec reads gives the same host by either rule.
    const Bytes valid = encoded(OSCMessage("/etc/discovery/reply", {std::int64_t{3037}, "Main (Eos)"}));
    EXPECT_EQ(hostFromReplyBytes(valid, consoleIP), hostFromDatagram(valid, consoleIP));
    ASSERT_TRUE(hostFromReplyBytes(valid, consoleIP));
}

TEST(DiscoveryRules, RuleBRejectsBrokenReplies) {
    const Bytes port = {0, 0, 0x0B, 0xDD};
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"other address",
         [] {
             Bytes b;
             appendOSCString(b, "/etc/discovery/replies");
             appendOSCString(b, ",is");
             return b;
         }()},
        {"tags without comma", rawReply("is", {}, {0, 0, 0x0B, 0xDD, 'D', 0, 0, 0})},
        {"one tag", rawReply(",i", {}, port)},
        {"float port", rawReply(",fs", {"Desk"}, {})},
        {"name not a string", rawReply(",ii", {}, {0, 0, 0x0B, 0xDD, 0, 0, 0, 1})},
        {"name where the port should be", rawReply(",is", {"Desk"}, {})},
        {"truncated port", rawReply(",is", {}, {0, 0, 0x0B})},
        {"truncated int64 port", rawReply(",hs", {}, {0, 0, 0, 0, 0, 0, 0x0B})},
        {"port text with letters", rawReply(",ss", {"30a7", "Desk"})},
        {"blank name", rawReply(",ss", {"3037", "  \t "})},
        {"name without terminator", rawReply(",is", {}, {0, 0, 0x0B, 0xDD, 'D', 'e', 's', 'k'})},
        {"name padding past the end", rawReply(",is", {}, {0, 0, 0x0B, 0xDD, 'D', 'e', 0})},
        {"non-ASCII port text", rawReply(",ss", {"30\xC3\xA9"
                                                 "37",
                                                 "Desk"})},
        {"empty", {}},
    };
    for (const auto& [what, bytes] : cases)
        EXPECT_FALSE(hostFromReplyBytes(bytes, consoleIP)) << what;
    // The codec reads a tag string without its comma, so that reply is still taken as a decoded reply.
    EXPECT_TRUE(hostFromDatagram(cases[1].second, consoleIP));
    // Ports 0 and 70000.
    EXPECT_FALSE(hostFromReplyBytes(rawReply(",is", {}, {0, 0, 0, 0, 'D', 0, 0, 0}), consoleIP));
    EXPECT_FALSE(hostFromReplyBytes(rawReply(",is", {}, {0, 1, 0x11, 0x70, 'D', 0, 0, 0}), consoleIP));
}

TEST(DiscoveryRules, BroadcastAddressesLeadWithTheLimitedBroadcast) {
    const auto entry = [](const char* broadcast) {
        return NetworkInterfaceEntry{true, true, false, QStringLiteral("192.0.2.1"), text(broadcast)};
    };
    std::vector<NetworkInterfaceEntry> entries = {entry("192.168.1.255"), entry("10.0.0.255"),
                                                  entry("10.0.0.255"), entry("0.0.0.0"),
                                                  entry("255.255.255.255")};
    entries.push_back(
        {false, true, false, QStringLiteral("192.0.2.2"), QStringLiteral("172.16.0.255")}); // down
    entries.push_back(
        {true, false, false, QStringLiteral("192.0.2.3"), QStringLiteral("172.16.1.255")}); // no broadcast
    entries.push_back(
        {true, true, true, QStringLiteral("127.0.0.1"), QStringLiteral("127.255.255.255")}); // loopback
    entries.push_back({true, true, false, std::nullopt, QStringLiteral("172.16.2.255")});    // no IPv4
    entries.push_back({true, true, false, QStringLiteral("192.0.2.4"), std::nullopt});
    EXPECT_EQ(broadcastAddresses(entries),
              (std::vector<QString>{QStringLiteral("255.255.255.255"), QStringLiteral("10.0.0.255"),
                                    QStringLiteral("192.168.1.255")}));
    EXPECT_EQ(broadcastAddresses({}), std::vector<QString>{QStringLiteral("255.255.255.255")});
    EXPECT_EQ(systemBroadcastAddresses().front(), QStringLiteral("255.255.255.255"));
}

EosDiscoveredHost host(const char* name, std::uint16_t port) {
    return makeDiscoveredHost(port, text(name), QStringLiteral("10.0.0.9"));
}

TEST(DiscoveryRules, HostTableReplacesByIDPrunesAndKeepsItsCap) {
    EosHostTable table(3);
    EXPECT_TRUE(table.upsert(host("A", 1), 1ms));
    EXPECT_FALSE(table.upsert(host("A", 1), 2ms)) << "the same record again is no change";
    EXPECT_TRUE(table.upsert(host("A renamed", 1), 3ms));
    EXPECT_TRUE(table.upsert(host("B", 2), 4ms));
    EXPECT_TRUE(table.upsert(host("C", 3), 5ms));
    EXPECT_FALSE(table.upsert(host("A renamed", 1), 6ms)); // heard again: now B is the oldest
    EXPECT_TRUE(table.upsert(host("D", 4), 7ms));
    EXPECT_EQ(table.size(), 3u);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QString> names;
    for (const auto& h : table.sortedHosts(collator))
        names.push_back(h.name);
    EXPECT_EQ(names,
              (std::vector<QString>{QStringLiteral("A renamed"), QStringLiteral("C"), QStringLiteral("D")}));

    EXPECT_FALSE(table.pruneStale(5ms + 420s, 420s)) << "exactly the timeout is not yet stale";
    EXPECT_TRUE(table.pruneStale(5ms + 420s + 1ms, 420s));
    EXPECT_EQ(table.size(), 2u);

    // A flood of distinct spoofed hosts stays within the cap.
    EosHostTable flooded;
    for (int i = 0; i < 10'000; ++i)
        flooded.upsert(host("spoof", static_cast<std::uint16_t>(1 + i)), std::chrono::milliseconds(i));
    EXPECT_EQ(flooded.size(), EosHostTable::defaultCapacity);
}

TEST(DiscoveryRules, HostsSortByNameIgnoringCaseThenByID) {
    EosDiscoveredHosts hosts = {host("charlie", 1), host("Bravo", 2), host("alpha", 3), host("bravo", 1)};
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    sortHostsByName(hosts, collator);
    std::vector<QString> ids;
    for (const auto& h : hosts)
        ids.push_back(h.name + QLatin1Char('@') + QString::number(h.oscTCPPort));
    EXPECT_EQ(ids, (std::vector<QString>{QStringLiteral("alpha@3"), QStringLiteral("bravo@1"),
                                         QStringLiteral("Bravo@2"), QStringLiteral("charlie@1")}));
}

} // namespace
} // namespace pexlora
