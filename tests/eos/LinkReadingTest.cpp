// SPDX-License-Identifier: GPL-3.0-or-later
// The link reading a console on loopback while its handlers do what a window does:
// spin the event loop, drop the link; and the UTF-8 text it brings.
#include "EosTestSupport.h"
#include "eos/EosTcpLink.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>
#include <numeric>

namespace pexlora {
namespace {

using namespace test;

// A console that writes what the test gives it, once the link has connected.
class WritingConsole {
public:
    WritingConsole() {
        m_server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&m_server, &QTcpServer::newConnection,
                         [this] { socket = m_server.nextPendingConnection(); });
    }
    std::uint16_t port() const { return m_server.serverPort(); }
    // Out of this process: on loopback the bytes then wait in the link's socket.
    void write(const QByteArray& bytes) {
        socket->write(bytes);
        waitFor([&] { return socket->bytesToWrite() == 0; });
    }

    QTcpSocket* socket = nullptr;

private:
    QTcpServer m_server;
};

QByteArray lengthFramed(int from, int to) {
    QByteArray stream;
    for (int i = from; i < to; ++i)
        stream += framedPacket(EosFraming::length, encoded(OSCMessage("/eos/out/n", {i})));
    return stream;
}

struct Link {
    explicit Link(const WritingConsole& console)
        : link(std::make_unique<EosTcpLink>(EosFraming::length, EosClock::system(), 10s)) {
        QObject::connect(link.get(), &EosTcpLink::ended, [this] { ended = true; });
        QObject::connect(link.get(), &EosTcpLink::messageReceived, [this](const OSCMessage& message) {
            const auto* number =
                message.values.empty() ? nullptr : std::get_if<std::int32_t>(&message.values[0]);
            numbers.push_back(number ? *number : -1);
            if (const auto* text =
                    message.values.empty() ? nullptr : std::get_if<std::string>(&message.values[0]))
                texts.push_back(*text);
            if (onMessage)
                onMessage();
        });
        link->open(QList<QHostAddress>{QHostAddress::LocalHost}, console.port());
    }
    std::unique_ptr<EosTcpLink> link;
    std::vector<int> numbers;
    std::vector<std::string> texts;
    std::function<void()> onMessage;
    bool ended = false;
};

TEST(LinkReading, AHandlerThatSpinsTheEventLoopWhileMoreArrivesKeepsTheStreamInOrder) {
    WritingConsole console;
    Link reading(console);
    ASSERT_TRUE(waitFor([&] { return console.socket != nullptr; }));
    // Each message 20 kB: the handler brings in more than is read, so reads run out of
    // budget and go on in a later turn, outside the socket's own signal.
    constexpr int count = 60;
    QByteArray stream;
    for (int i = 0; i < count; ++i)
        stream += framedPacket(EosFraming::length,
                               encoded(OSCMessage("/eos/out/n", {i, Blob(20000, std::uint8_t{0})})));
    qsizetype written = 0;
    const auto writeSome = [&](qsizetype size) {
        console.write(stream.mid(written, size));
        written = std::min(written + size, stream.size());
    };
    // As a progress dialog does on each step: the next bytes, cut anywhere, come meanwhile.
    reading.onMessage = [&] {
        writeSome(64 * 1024 + 7);
        QCoreApplication::processEvents();
    };
    writeSome(stream.size() / count + 5000);
    ASSERT_TRUE(waitFor([&] { return reading.numbers.size() == count || reading.ended; }));
    std::vector<int> expected(count);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(reading.numbers, expected);
    EXPECT_FALSE(reading.ended);
}

TEST(LinkReading, AHandlerThatDestroysTheLinkEndsTheReadAndALengthThatCannotBeAPacketEndsTheLink) {
    WritingConsole console;
    Link reading(console);
    ASSERT_TRUE(waitFor([&] { return console.socket != nullptr; }));
    reading.onMessage = [&] {
        if (reading.numbers.size() == 2)
            reading.link.reset();
    };
    console.write(lengthFramed(0, 10));
    ASSERT_TRUE(waitFor([&] { return !reading.link; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(reading.numbers, (std::vector<int>{0, 1})) << "nothing after the link was gone";

    // 4 GiB announced: not this framing, or its place lost. Counting it off would leave the link deaf.
    WritingConsole unframed;
    Link deaf(unframed);
    ASSERT_TRUE(waitFor([&] { return unframed.socket != nullptr; }));
    unframed.write(lengthFramed(0, 1) + QByteArray(4, '\xFF') + lengthFramed(1, 2));
    ASSERT_TRUE(waitFor([&] { return deaf.ended; }));
    EXPECT_EQ(deaf.numbers, std::vector<int>{0});
}

TEST(LinkReading, AFloodOfTinyMessagesIsHandedOnAFewThousandATurn) {
    WritingConsole console;
    Link reading(console);
    ASSERT_TRUE(waitFor([&] { return console.socket != nullptr; }));
    // Counted between two events that the window posts itself: the link reads at most twice
    // in between, for the turn it scheduled and, once that found the socket empty, for its signal.
    std::size_t before = 0, mostBetween = 0;
    QObject window;
    std::function<void()> probe = [&] {
        mostBetween = std::max(mostBetween, reading.numbers.size() - before);
        before = reading.numbers.size();
        QTimer::singleShot(0, &window, probe);
    };
    probe();
    constexpr int count = 40'000; // 16 bytes each on the wire
    console.write(lengthFramed(0, count));
    ASSERT_TRUE(waitFor([&] { return reading.numbers.size() == count; }));
    EXPECT_LE(mostBetween, 2 * (EosTcpLink::messageBudget + EosTcpLink::readChunk / 16))
        << "messages handed on between two posted events";
}

TEST(LinkReading, TextInUTF8ComesThroughWithBrokenBytesReplacedAndNoPacketIsLost) {
    const std::string fffd = "\xEF\xBF\xBD";
    const struct {
        std::string_view address;
        std::string_view sent;
        std::string read;
    } table[] = {
        {"/eos/out/user/91/cmd", "LIVE: Cue 1 Label Caf\u00e9 Enter", "LIVE: Cue 1 Label Caf\u00e9 Enter"},
        {"/eos/out/get/patch/101/1/list/2/3", "K\u00fcche", "K\u00fcche"},
        {"/eos/out/cmd", "LIVE: Caf\xC3 Label", "LIVE: Caf" + fffd + " Label"},
        {"/eos/out/get/patch/102/1/list/2/3", "\xFF\xED\xA0", fffd + fffd + fffd},
    };
    WritingConsole console;
    Link reading(console);
    ASSERT_TRUE(waitFor([&] { return console.socket != nullptr; }));
    QByteArray stream;
    for (const auto& row : table) {
        Bytes packet;
        for (const std::string_view string : {row.address, std::string_view(",s"), row.sent})
            appendOSCString(packet, string);
        stream += framedPacket(EosFraming::length, packet);
    }
    console.write(stream + lengthFramed(0, 1));
    ASSERT_TRUE(waitFor([&] { return reading.numbers.size() == std::size(table) + 1; }));
    ASSERT_EQ(reading.texts.size(), std::size(table));
    for (std::size_t i = 0; i < std::size(table); ++i)
        EXPECT_EQ(reading.texts[i], table[i].read) << table[i].address;
}

} // namespace
} // namespace pexlora
