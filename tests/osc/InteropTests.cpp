// SPDX-License-Identifier: GPL-3.0-or-later
// Interop with liblo, an OSC implementation of its own: its `oscdump` prints what
// we send, and its `oscsend` sends what we decode. Everything stays on 127.0.0.1.
#include "LoopbackPeer.h"
#include "OSCTestSupport.h"
#include "osc/SLIPEncoder.h"

#include <sys/socket.h>

namespace pexlora {
namespace {

using namespace test;

// oscdump prints "<time tag> <address> <tags> <values…>"; the time tag differs each run.
std::string withoutTimeTag(const std::string& line) {
    return line.substr(line.find(' ') + 1);
}

const OSCMessage everyKindLibloKnows("/pexlora/test",
                                     {3035, 2.5f, "Pexlora", Blob{1, 2, 3}, -0.25, std::int64_t{-7},
                                      Character{"A"}, true, false, OSCNullValue{}, OSCImpulseValue{},
                                      OSCMIDIValue{1, 2, 3, 4}, OSCTimeTag{0, 0x83aa7e8000000001},
                                      OSCStringAltValue{"sym"}});
const char* everyKindDumped =
    "/pexlora/test ifsbdhcTFNImtS 3035 2.500000 \"Pexlora\" [3b 0x1 0x2 0x3] -0.250000 -7 "
    "'A' #T #F Nil Infinitum MIDI [0x01 0x02 0x03 0x04] 83aa7e80.00000001 'sym";

class LibloInterop : public testing::Test {
protected:
    void SetUp() override {
        if (!toolAvailable("oscdump") || !toolAvailable("oscsend"))
            GTEST_SKIP() << "liblo-tools (oscdump, oscsend) are not installed";
    }
};

TEST_F(LibloInterop, OscdumpReadsOurUDPDatagrams) {
    ChildProcess dump({"oscdump", "-L", "0"});
    ASSERT_TRUE(dump.started());
    // Once the port shows in the kernel's tables the socket is oscdump's, and what we
    // send waits in it until oscdump reads.
    const std::optional<int> port = dump.boundPort(SOCK_DGRAM, 5s);
    ASSERT_TRUE(port.has_value()) << "oscdump bound no UDP port";
    LoopbackUDPSocket socket;
    ASSERT_TRUE(socket.sendTo(*port, encoded(OSCMessage("/etc/discovery/request", {3035, "Pexlora"}))));
    std::optional<std::string> line = dump.readLine(5s);
    ASSERT_TRUE(line.has_value()) << "oscdump printed nothing";
    EXPECT_EQ(withoutTimeTag(*line), "/etc/discovery/request is 3035 \"Pexlora\"");

    ASSERT_TRUE(socket.sendTo(*port, encoded(everyKindLibloKnows)));
    line = dump.readLine(3s);
    ASSERT_TRUE(line.has_value());
    EXPECT_EQ(withoutTimeTag(*line), everyKindDumped);
}

TEST_F(LibloInterop, OscdumpReadsOurSLIPFramesOverTCP) {
    ChildProcess dump({"oscdump", "-L", "osc.tcp://:0"});
    ASSERT_TRUE(dump.started());
    const std::optional<int> port = dump.boundPort(SOCK_STREAM, 5s);
    ASSERT_TRUE(port.has_value()) << "oscdump listens on no TCP port";
    LoopbackTCPClient client(*port, 5s);
    ASSERT_TRUE(client.connected()) << "oscdump did not accept the connection";

    // 0xC0DB and the blob put both SLIP special bytes into the packet.
    const OSCMessage escaped("/eos/user/91/newcmd", {0xC0DB, Blob{0xC0, 0xDB, 0x01}, "Group 5 Enter"});
    ASSERT_TRUE(client.send(encodeSLIPFrame(encoded(escaped))));
    ASSERT_TRUE(client.send(encodeSLIPFrame(encoded(everyKindLibloKnows))));

    auto first = dump.readLine(5s);
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(withoutTimeTag(*first), "/eos/user/91/newcmd ibs 49371 [3b 0xc0 0xdb 0x1] \"Group 5 Enter\"");
    auto second = dump.readLine(5s);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(withoutTimeTag(*second), everyKindDumped);
}

TEST_F(LibloInterop, DatagramsFromOscsendDecodeToTheSameValues) {
    // oscsend is told the port of our socket, which stays bound until the datagram is in.
    LoopbackUDPSocket socket;
    ASSERT_NE(socket.port(), 0);
    ChildProcess send({"oscsend", "osc.udp://127.0.0.1:" + std::to_string(socket.port()), "/from/liblo",
                       "ifsShdcTFNIm", "3035", "2.5", "Pexlora", "sym", "-7", "0.125", "A", "01020304"});
    ASSERT_TRUE(send.started());
    auto datagram = socket.receive(5s);
    ASSERT_TRUE(datagram.has_value()) << "nothing arrived from oscsend";
    EXPECT_EQ(send.wait(5s), 0);

    auto packet = decodeOSCPacket(*datagram);
    ASSERT_TRUE(packet.ok()) << packet.error().description();
    ASSERT_TRUE(packet->has_value());
    const OSCMessage* message = (*packet)->message();
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->addressPattern.rawAddress(), "/from/liblo");
    const OSCValues expected = {
        3035, 2.5f,  "Pexlora",      OSCStringAltValue{"sym"}, std::int64_t{-7},        0.125, Character{"A"},
        true, false, OSCNullValue{}, OSCImpulseValue{},        OSCMIDIValue{1, 2, 3, 4}};
    EXPECT_EQ(message->values, expected);
    EXPECT_EQ(encoded(*message), *datagram);
}

} // namespace
} // namespace pexlora
