// SPDX-License-Identifier: GPL-3.0-or-later
// pexlora-console-sim as the console: discovery on loopback and groups over the link.
#include "EosTestSupport.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosDiscoveryManager.h"
#include "eos/EosGroupDirectory.h"
#include "eos/EosGroupRecorder.h"
#include "eos/EosFraming.h"
#include "eos/EosListAssembler.h"
#include "eos/EosPatchReply.h"
#include "eos/EosStreamReader.h"
#include "osc/OSCPacketDecoder.h"

#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <variant>

namespace pexlora {
namespace {

using namespace test;

const QStringList anyPorts = {QStringLiteral("--tcp-port"), QStringLiteral("0"),
                              QStringLiteral("--discovery-port"), QStringLiteral("0")};

TEST(Simulator, AnswersDiscoveryOnThePortTheRequestNames) {
    auto simulator = startSimulator(anyPorts);
    ASSERT_TRUE(simulator) << "the simulator did not start";
    UDPPeer requester;
    UDPPeer replyTo;
    requester.sendTo(simulator->discoveryPort,
                     encoded(OSCMessage("/etc/discovery/request", {replyTo.port(), "Test"})));
    const auto reply = replyTo.receive();
    ASSERT_TRUE(reply);
    const auto decoded = decodeOSCPacket(asBytes(reply->data()));
    ASSERT_TRUE(decoded.ok() && decoded.value() && decoded.value()->message());
    EXPECT_EQ(decoded.value()->message()->description(),
              OSCMessage("/etc/discovery/reply",
                         {static_cast<std::int32_t>(simulator->tcpPort), "Pexlora Simulator (Simulator)"})
                  .description());

    // Without a port in the request the reply goes back to where it came from.
    requester.sendTo(simulator->discoveryPort, encoded(OSCMessage("/etc/discovery/request", {})));
    EXPECT_TRUE(requester.receive());
    EXPECT_EQ(replyTo.drain(), 0);

    // And discovery lists it.
    EosDiscoveryConfig config;
    config.listenPort = 0;
    config.broadcastPort = simulator->discoveryPort;
    config.destinations = [] { return std::vector<QString>{QStringLiteral("127.0.0.1")}; };
    EosDiscoveryManager discovery(config);
    discovery.settingsOpened();
    ASSERT_TRUE(waitFor([&] { return !discovery.discoveredHosts().empty(); }));
    EXPECT_EQ(discovery.discoveredHosts().front(),
              (EosDiscoveredHost{QStringLiteral("osc:127.0.0.1:") + QString::number(simulator->tcpPort),
                                 QStringLiteral("127.0.0.1"), QStringLiteral("Pexlora Simulator"),
                                 QStringLiteral("Simulator"), EosSessionState::unknown, simulator->tcpPort}));
}

// The desk's groups are read and followed through a show load, and a desk without
// "/chans" still keeps the order, since the recording user selects the channels first.
TEST(Simulator, TheDesksGroupsAreReadFollowedAndEveryRecordingConfirmed) {
    auto simulator = startSimulator(anyPorts + QStringList{QStringLiteral("--no-set-chans"), QStringLiteral("--groups"),
                                                           QStringLiteral("12=1-3,7:Front wash;40=9:Spot")});
    ASSERT_TRUE(simulator) << "the simulator did not start";
    QTemporaryDir dir;
    EosConnectionConfig config;
    config.discovery.listenPort = 0;
    config.discovery.destinations = [] { return std::vector<QString>{}; };
    config.settings = std::make_unique<QSettings>(dir.filePath(QStringLiteral("Pexlora.conf")), QSettings::IniFormat);
    EosConnectionManager manager(std::move(config));
    manager.connectToConsole(QStringLiteral("127.0.0.1"), simulator->tcpPort);
    EosGroupDirectory& groups = manager.groups();
    ASSERT_TRUE(waitFor([&] { return groups.status() == EosGroupDirectory::Status::ready; }));
    ASSERT_EQ(groups.groups().size(), 2u);
    EXPECT_EQ(groups.find(QStringLiteral("12"))->label, QStringLiteral("Front wash"));
    EXPECT_EQ(groups.find(QStringLiteral("12"))->channels, (std::vector<int>{1, 2, 3, 7}));

    GridElements elements;
    std::vector<QUuid> order;
    for (const char* number : {"7", "8", "9"}) {
        elements.push_back({QUuid::createUuid(), {static_cast<std::int64_t>(elements.size()), 0}, QString::fromUtf8(number)});
        order.push_back(elements.back().id);
    }
    manager.recordGroup(QStringLiteral("13"), {order}, elements);
    const auto report = [&] { return manager.recorder().report().text; };
    EXPECT_TRUE(waitFor([&] { return report() == QStringLiteral("Group 13 recorded: 3 channels"); }))
        << report().toStdString();
    EXPECT_TRUE(waitFor([&] { return groups.find(QStringLiteral("13")) != nullptr; })) << "known at once";
    // Against the reading order too: the desk keeps the order the channels were selected in.
    manager.recordGroup(QStringLiteral("15"), {{order[2], order[1], order[0]}}, elements);
    EXPECT_TRUE(waitFor([&] { return report() == QStringLiteral("Group 15 recorded: 3 channels"); }))
        << report().toStdString();
    EXPECT_EQ(groups.find(QStringLiteral("15"))->channels, (std::vector<int>{9, 8, 7}));
    // A cell the desk has no channel for: what the desk kept is told, not taken on trust.
    elements.push_back({QUuid::createUuid(), {9, 0}, QStringLiteral("10.5")});
    manager.recordGroup(QStringLiteral("14"), {{order.front(), elements.back().id}}, elements);
    EXPECT_TRUE(waitFor([&] {
        return report() == QStringLiteral("The desk's group 14 holds 7, not the 2 channels sent");
    })) << report().toStdString();

    // Another show: every group read again.
    simulator->child->process().write("load-demo-2\n");
    EXPECT_TRUE(waitFor([&] {
        return groups.status() == EosGroupDirectory::Status::ready && groups.find(QStringLiteral("1.2")) &&
               !groups.find(QStringLiteral("13"));
    }));
}

TEST(Simulator, PrintsTheGroupsPexloraAndLibloSendInTheDesksFraming) {
    for (const char* framing : {"length", "slip"}) {
        SCOPED_TRACE(framing);
        auto simulator =
            startSimulator(anyPorts + QStringList{QStringLiteral("--framing"), QString::fromLatin1(framing)});
        ASSERT_TRUE(simulator) << "the simulator did not start";
        QTemporaryDir dir;
        EosConnectionConfig config;
        config.discovery.listenPort = 0;
        config.discovery.destinations = [] { return std::vector<QString>{QStringLiteral("127.0.0.1")}; };
        config.settings =
            std::make_unique<QSettings>(dir.filePath(QStringLiteral("Pexlora.conf")), QSettings::IniFormat);
        EosConnectionManager manager(std::move(config));
        manager.connectToConsole(QStringLiteral("127.0.0.1"), simulator->tcpPort);
        ASSERT_TRUE(waitFor([&] { return manager.health() == EosConsoleHealth::answering; }));

        GridElements elements;
        std::vector<QUuid> group;
        for (const char* number : {"1", "2", "3", "7"}) {
            elements.push_back({QUuid::createUuid(),
                                {static_cast<std::int64_t>(elements.size()), 0},
                                QString::fromUtf8(number)});
            group.push_back(elements.back().id);
        }
        manager.recordGroup(QStringLiteral("12"), {group}, elements);
        const auto line = simulator->child->waitForLine(QStringLiteral("Group "));
        ASSERT_TRUE(line);
        EXPECT_TRUE(line->startsWith(QStringLiteral("Group 12: 1-3, 7"))) << line->toStdString();
        // The desk's group read back holds the channels sent, in order.
        EXPECT_TRUE(waitFor([&] { return manager.recorder().report().text == u"Group 12 recorded: 4 channels"; }))
            << manager.recorder().report().text.toStdString();
        const QStringList& lines = simulator->child->lines();
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const QString& printed) {
            return printed.endsWith(
                QStringLiteral(R"(OSCMessage("/eos/user/91/newcmd", values: ["Record Group 12 Enter"]))"));
        })) << lines.join(QLatin1Char('\n')).toStdString();
    }

    auto simulator = startSimulator(anyPorts);
    ASSERT_TRUE(simulator) << "the simulator did not start";
    if (!toolAvailable(QStringLiteral("oscsend")))
        GTEST_SKIP() << "liblo-tools (oscsend) is not installed";
    // liblo sends length-prefixed packets over TCP, as the desk reads by default.
    QProcess::execute(QStringLiteral("oscsend"),
                      {QStringLiteral("osc.tcp://127.0.0.1:") + QString::number(simulator->tcpPort),
                       QStringLiteral("/eos/set/group/5/chans"), QStringLiteral("s"),
                       QStringLiteral("9 > 7 2")});
    const auto second = simulator->child->waitForLine(QStringLiteral("Group "));
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, QStringLiteral("Group 5: 9, 8, 7, 2"));
}

// A bare OSC peer of the simulator on loopback, in its default framing: every packet
// as it came, and every message as the link joins it.
class DeskPeer {
public:
    explicit DeskPeer(std::uint16_t port) {
        QObject::connect(&m_socket, &QTcpSocket::readyRead, [this] {
            const QByteArray data = m_socket.readAll();
            m_reader.feed(asBytes(data), [this](std::span<const std::uint8_t> packet) {
                packetSizes.push_back(packet.size());
                const auto decoded = decodeOSCPacket(packet);
                if (!decoded.ok() || !decoded.value() || !decoded.value()->message())
                    return;
                if (auto whole = m_lists.take(*decoded.value()->message()))
                    messages.push_back(std::move(*whole));
            });
        });
        m_socket.connectToHost(QHostAddress::LocalHost, port);
    }
    bool connected() { return m_socket.waitForConnected(5000); }
    void send(const OSCMessage& message) {
        m_socket.write(framedPacket(EosFraming::length, encoded(message)));
        m_socket.flush();
    }
    // Every answer to what was sent before has come once the desk answers a ping after it.
    bool settle() {
        const auto asked = messages.size();
        send(OSCMessage("/eos/ping", {"settled"}));
        return waitFor([&] {
            return std::any_of(
                messages.begin() + static_cast<std::ptrdiff_t>(asked), messages.end(),
                [](const OSCMessage& m) { return m.addressPattern.rawAddress() == "/eos/out/ping"; });
        });
    }

    std::vector<OSCMessage> messages;
    std::vector<std::size_t> packetSizes;

private:
    QTcpSocket m_socket;
    EosStreamReader m_reader{EosFraming::length};
    EosListAssembler m_lists;
};

// "address: value | value", a UID as <uid>.
std::string summary(const OSCMessage& message) {
    std::string text(message.addressPattern.rawAddress());
    const char* separator = ": ";
    for (const OSCValue& value : message.values) {
        text += std::exchange(separator, " | ");
        if (const auto* i = std::get_if<std::int32_t>(&value))
            text += std::to_string(*i);
        else if (const auto* s = std::get_if<std::string>(&value))
            text += s->size() == 36 && (*s)[8] == '-' ? "<uid>" : *s;
        else
            text += "?";
    }
    return text;
}

TEST(Simulator, KeepsEachUsersSelectionAndAnswersForGroupsAsADeskDoes) {
    using Step = std::variant<OSCMessage, const char*>; // a message, or a line typed at the simulator
    const auto cmd = [](int user, const char* text) {
        return Step(OSCMessage(OSCAddressPattern("/eos/user/" + std::to_string(user) + "/newcmd"), {text}));
    };
    const struct Case {
        const char* name;
        QStringList arguments;
        std::vector<Step> steps;
        std::string_view prefix; // of the replies compared
        std::vector<std::string> expected;
    } cases[] = {
        {"Record Group as user 91 records user 91's selection, not the OSC user's",
         {},
         {cmd(91, "Chan 5 Thru 7 Enter"), OSCMessage("/eos/newcmd", {"Chan 1 Enter"}),
          cmd(91, "Record Group 3 Enter"), OSCMessage("/eos/get/group/3", {})},
         "/eos/out/get/group",
         {"/eos/out/get/group/3: -1 | <uid> | ", "/eos/out/get/group/3/channels: -1 | <uid> | 5-7"}},
        {"user n echoes on its own line; user 1, the operator, also on the desk's line and selection",
         {},
         {cmd(5, "Chan 3 Enter"),
          OSCMessage("/eos/cmd", {"Chan %1 Thru %2 At 50 Enter", std::int32_t{1}, std::int32_t{2}})},
         "/eos/out/",
         {"/eos/out/user/5/cmd: LIVE: Chan 3 Enter", "/eos/out/user/1/cmd: LIVE: Chan 1 Thru 2 At 50 Enter",
          "/eos/out/cmd: LIVE: Chan 1 Thru 2 At 50 Enter", "/eos/out/active/chan: 1-2 [50]"}},
        {"/chans sets a group's channels and /label its label",
         {QStringLiteral("--groups"), QStringLiteral("4=1-2:Pair")},
         {OSCMessage("/eos/set/group/4/chans", {"7 > 9 21"}),
          OSCMessage("/eos/set/group/4/label", {"Renamed"}), OSCMessage("/eos/get/group/4", {})},
         "/eos/out/get/group",
         {"/eos/out/get/group/4: -1 | <uid> | Renamed",
          "/eos/out/get/group/4/channels: -1 | <uid> | 7-9 | 21"}},
        {"a descending Thru selects downwards, keeps a channel named twice in its first place, and the "
         "group recorded from it reads back in that order",
         {},
         {cmd(1, "Chan 9 Thru 7 + 2 + 8 Enter"), cmd(1, "Record Group 8 Enter"),
          OSCMessage("/eos/get/group/8", {})},
         "/eos/out/",
         {"/eos/out/user/1/cmd: LIVE: Chan 9 Thru 7 + 2 + 8 Enter",
          "/eos/out/cmd: LIVE: Chan 9 Thru 7 + 2 + 8 Enter", "/eos/out/active/chan: 9, 8, 7, 2 [0]",
          "/eos/out/user/1/cmd: LIVE: Record Group 8 Enter", "/eos/out/cmd: LIVE: Record Group 8 Enter",
          "/eos/out/get/group/8: -1 | <uid> | ",
          "/eos/out/get/group/8/channels: -1 | <uid> | 9 | 8 | 7 | 2"}},
        {"/chans keeps a descending run's order, only rising runs read as X-Y, and a channel past 99999 "
         "changes nothing",
         {},
         {OSCMessage("/eos/set/group/4/chans", {"9-7,2"}),
          OSCMessage("/eos/set/group/5/chans", {"3 > 1 5 > 7 2"}),
          OSCMessage("/eos/set/group/5/chans", {"7 > 100000"}), OSCMessage("/eos/get/group/4", {}),
          OSCMessage("/eos/get/group/5", {})},
         "/eos/out/get/group",
         {"/eos/out/get/group/4: -1 | <uid> | ", "/eos/out/get/group/4/channels: -1 | <uid> | 9 | 8 | 7 | 2",
          "/eos/out/get/group/5: -1 | <uid> | ",
          "/eos/out/get/group/5/channels: -1 | <uid> | 3 | 2 | 1 | 5-7"}},
        {"a desk without /chans in its dictionary ignores it",
         {QStringLiteral("--groups"), QStringLiteral("4=1-2:Pair"), QStringLiteral("--no-set-chans")},
         {OSCMessage("/eos/set/group/4/chans", {"7 > 9"}), OSCMessage("/eos/get/group/4", {})},
         "/eos/out/get/group",
         {"/eos/out/get/group/4: -1 | <uid> | Pair", "/eos/out/get/group/4/channels: -1 | <uid> | 1-2"}},
        {"groups by index in number order, by number, and nothing for an unknown one",
         {QStringLiteral("--groups"), QStringLiteral("12=1-3,7:Front wash;1.2=21 > 24")},
         {OSCMessage("/eos/get/group/count", {}), OSCMessage("/eos/get/group/index/0", {}),
          OSCMessage("/eos/get/group/12", {}), OSCMessage("/eos/get/group/99", {}),
          OSCMessage("/eos/get/group/index/2", {})},
         "/eos/out/get/group",
         {"/eos/out/get/group/count: 2", "/eos/out/get/group/1.2: 0 | <uid> | ",
          "/eos/out/get/group/1.2/channels: 0 | <uid> | 21-24",
          "/eos/out/get/group/12: -1 | <uid> | Front wash",
          "/eos/out/get/group/12/channels: -1 | <uid> | 1-3 | 7"}},
        {"change notices only while subscribed",
         {},
         {OSCMessage("/eos/set/group/5/chans", {"1"}), OSCMessage("/eos/subscribe", {std::int32_t{1}}),
          OSCMessage("/eos/set/group/5/chans", {"2"}), cmd(1, "Chan 4 Enter"),
          cmd(1, "Record Group 6.5 Enter"), OSCMessage("/eos/subscribe", {std::int32_t{0}}),
          OSCMessage("/eos/set/group/5/chans", {"3"})},
         "/eos/out/notify",
         {"/eos/out/notify/group: 2 | 5", "/eos/out/notify/group: 3 | 6.5"}},
        {"a show loaded at the desk: announced, and its groups and patch notified",
         {QStringLiteral("--patch"), QStringLiteral("1-3"), QStringLiteral("--groups"),
          QStringLiteral("7=1")},
         {OSCMessage("/eos/subscribe", {std::int32_t{1}}), "load-demo-2",
          OSCMessage("/eos/get/patch/count", {}), OSCMessage("/eos/get/group/count", {})},
         "/eos/out/",
         {"/eos/out/event/show/loaded", "/eos/out/show/name: Demo show 2",
          "/eos/out/cmd: LIVE: ", "/eos/out/active/chan: ", "/eos/out/notify/group: 1 | 1 | 1.2 | 2 | 7 | 10",
          "/eos/out/notify/patch: 2 | 1-24 | 201-212", "/eos/out/get/patch/count: 37",
          "/eos/out/get/group/count: 4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto simulator = startSimulator(anyPorts + c.arguments);
        ASSERT_TRUE(simulator) << "the simulator did not start";
        DeskPeer peer(simulator->tcpPort);
        ASSERT_TRUE(peer.connected());
        for (const Step& step : c.steps) {
            if (const auto* message = std::get_if<OSCMessage>(&step)) {
                peer.send(*message);
                continue;
            }
            ASSERT_TRUE(peer.settle());
            simulator->child->process().write(QByteArray(std::get<const char*>(step)) + '\n');
            ASSERT_TRUE(simulator->child->waitForLine(QStringLiteral("Show loaded")));
        }
        ASSERT_TRUE(peer.settle());
        std::vector<std::string> seen;
        for (const OSCMessage& message : peer.messages)
            if (message.addressPattern.rawAddress().starts_with(c.prefix))
                seen.push_back(summary(message));
        std::erase(seen, "/eos/out/ping: settled");
        EXPECT_EQ(seen, c.expected);
        EXPECT_TRUE(std::all_of(peer.packetSizes.begin(), peer.packetSizes.end(),
                                [](std::size_t size) { return size <= 512; }));
    }
}

TEST(Simulator, SplitsAPatchEntryOverPacketsOfAtMost512BytesThatJoinWhole) {
    auto simulator = startSimulator(anyPorts + QStringList{QStringLiteral("--patch"), QStringLiteral("5,9")});
    ASSERT_TRUE(simulator) << "the simulator did not start";
    DeskPeer peer(simulator->tcpPort);
    ASSERT_TRUE(peer.connected());
    peer.send(OSCMessage("/eos/get/version", {}));
    peer.send(OSCMessage("/eos/get/patch/index/1", {}));
    peer.send(OSCMessage("/eos/get/patch/5", {}));
    ASSERT_TRUE(peer.settle());
    std::vector<std::string> addresses;
    for (const OSCMessage& message : peer.messages)
        addresses.emplace_back(message.addressPattern.rawAddress());
    EXPECT_EQ(addresses, (std::vector<std::string>{
                             "/eos/out/get/version", "/eos/out/get/patch/9/1", "/eos/out/get/patch/9/1/notes",
                             "/eos/out/get/patch/9/1/augment3d/position",
                             "/eos/out/get/patch/9/1/augment3d/beam", "/eos/out/get/patch/5/1",
                             "/eos/out/get/patch/5/1/notes", "/eos/out/get/patch/5/1/augment3d/position",
                             "/eos/out/get/patch/5/1/augment3d/beam", "/eos/out/ping"}));
    ASSERT_EQ(peer.messages.size(), 10u);
    EXPECT_EQ(peer.messages[0].values.size(), 3u) << "version, fixture library version and an int";
    EXPECT_EQ(peer.messages[1].values.size(), 21u);
    const auto entry = patchReplyEntry(peer.messages[1]);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->index, 1);
    EXPECT_EQ(entry->part.channel, 9);
    EXPECT_EQ(entry->part.intensityAddress, entry->part.address) << "a dimmer's intensity is its address";
    EXPECT_TRUE(patchPositionReply(peer.messages[3]));
    EXPECT_EQ(eosNumberValue(peer.messages[5], 0), -1) << "asked by number: no index";
    EXPECT_GT(peer.packetSizes.size(), peer.messages.size()) << "the lists came in more than one packet each";
    EXPECT_LE(*std::max_element(peer.packetSizes.begin(), peer.packetSizes.end()), 512u);
}

} // namespace
} // namespace pexlora
