// SPDX-License-Identifier: GPL-3.0-or-later
// The console link's speed targets: discovery datagrams handled per second (decode,
// both readers, upsert into the host table); the time from recordGroup — what pressing
// Return in the group popover does — until a peer on loopback has read both messages;
// the longest the window's own events wait while a flood of discovery replies is read;
// the console's messages read, decoded and dispatched per second with the event loop
// running, and how many updates the window gets meanwhile; how long the window's own
// events wait while a flood of tiny packets is read; a 2,000-channel patch import from
// the simulator on loopback.
#include "eos/EosConnectionManager.h"
#include "eos/EosGroupDirectory.h"
#include "eos/EosGroupRecorder.h"
#include "eos/EosDiscoveryManager.h"
#include "eos/EosDiscoveryReply.h"
#include "eos/EosHostTable.h"
#include "eos/EosPatchImport.h"
#include "eos/EosTcpLink.h"
#include "osc/OSCMessageEncoder.h"
#include "osc/SLIPEncoder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <benchmark/benchmark.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace pexlora;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

Bytes encoded(const OSCMessage& message) {
    return encodeOSC(message).value();
}

// What a discovery socket hears in practice: replies of a few consoles, one with a name
// that is not even UTF-8, and junk.
std::vector<Bytes> typicalDatagrams() {
    std::vector<Bytes> datagrams;
    for (int console = 0; console < 4; ++console)
        datagrams.push_back(encoded(OSCMessage(
            "/etc/discovery/reply", {3032 + console, "Console " + std::to_string(console) + " (Eos Ti)"})));
    Bytes utf8 = encoded(OSCMessage("/etc/discovery/reply", {3040, "Xuhne 1"}));
    utf8[utf8.size() - 7] = 0xC3; // "X\xC3hne 1": read with U+FFFD for the broken character
    datagrams.push_back(utf8);
    datagrams.push_back(encoded(OSCMessage("/etc/discovery/request", {3035, "Pexlora"})));
    datagrams.push_back(Bytes(40, 0x2F));
    return datagrams;
}

void handle(const std::vector<Bytes>& datagrams, benchmark::State& state) {
    EosHostTable table;
    const QString ip = QStringLiteral("192.168.1.20");
    std::size_t next = 0;
    std::chrono::milliseconds now{0};
    for (auto _ : state) {
        const Bytes& datagram = datagrams[next];
        next = next + 1 == datagrams.size() ? 0 : next + 1;
        if (const auto host = hostFromDatagram(datagram, ip))
            benchmark::DoNotOptimize(table.upsert(*host, now += 1ms));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.counters["hosts"] = static_cast<double>(table.size());
}

void BM_DiscoveryDatagrams(benchmark::State& state) {
    handle(typicalDatagrams(), state);
}
BENCHMARK(BM_DiscoveryDatagrams);

// Every reply a new host: the table is full and each one replaces the oldest.
void BM_DiscoverySpoofedFlood(benchmark::State& state) {
    std::vector<Bytes> datagrams;
    for (int i = 1; i <= 10'000; ++i)
        datagrams.push_back(encoded(OSCMessage("/etc/discovery/reply", {i, "Spoof " + std::to_string(i)})));
    handle(datagrams, state);
}
BENCHMARK(BM_DiscoverySpoofedFlood);

// A socket listening on 127.0.0.1 for one connection, at a port of the system's choice.
int loopbackListener(std::uint16_t& port) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener, 1);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return listener;
}

// A console on loopback that counts the SLIP frames it reads.
class CountingConsole {
public:
    CountingConsole() {
        m_listener = loopbackListener(port);
        m_thread = std::thread([this] {
            const int fd = ::accept(m_listener, nullptr, nullptr);
            char buffer[4096];
            for (ssize_t got; (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
                ends += static_cast<int>(std::count(buffer, buffer + got, '\xC0'));
                ends.notify_all();
            }
            ::close(fd);
        });
    }
    ~CountingConsole() {
        m_thread.join();
        ::close(m_listener);
    }

    std::uint16_t port = 0;
    std::atomic<int> ends{0}; // two per frame

private:
    int m_listener = -1;
    std::thread m_thread;
};

// A manager whose settings live in `dir`, in the given framing choice.
std::unique_ptr<EosConnectionManager> makeManager(const QTemporaryDir& dir, EosFramingChoice choice) {
    EosConnectionConfig config;
    config.discovery.destinations = [] { return std::vector<QString>{}; }; // nothing leaves loopback
    config.discovery.listenPort = 0;
    config.settings =
        std::make_unique<QSettings>(dir.filePath(QStringLiteral("Pexlora.conf")), QSettings::IniFormat);
    config.settings->setValue(eosFramingKey, framingChoiceKey(choice));
    return std::make_unique<EosConnectionManager>(std::move(config));
}

bool runUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// A loopback UDP socket standing in for the consoles: it reads the request to learn
// where replies go, then floods that port with 20,000 spoofed replies from a thread of
// its own while the window posts itself an event each time the last one has run.
void BM_DiscoveryFloodWindowLatency(benchmark::State& state) {
    constexpr int datagrams = 20'000;
    std::vector<Bytes> replies;
    for (int i = 1; i <= datagrams; ++i)
        replies.push_back(encoded(OSCMessage("/etc/discovery/reply", {i, "Spoof " + std::to_string(i)})));
    const int console = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(console, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(console, reinterpret_cast<sockaddr*>(&address), &length);

    EosDiscoveryConfig config;
    config.listenPort = 0;
    config.broadcastPort = ntohs(address.sin_port);
    config.destinations = [] { return std::vector<QString>{QStringLiteral("127.0.0.1")}; };
    using Clock = std::chrono::steady_clock;
    Clock::duration worst{};
    for (auto _ : state) {
        state.PauseTiming();
        EosDiscoveryManager discovery(config);
        discovery.settingsOpened();
        sockaddr_in replyTo{};
        socklen_t replyToLength = sizeof replyTo;
        char request[512];
        bool asked = false;
        runUntil([&] {
            asked = asked || ::recvfrom(console, request, sizeof request, MSG_DONTWAIT,
                                        reinterpret_cast<sockaddr*>(&replyTo), &replyToLength) > 0;
            return asked;
        });
        if (!asked) {
            state.SkipWithError("no discovery request arrived");
            break;
        }
        state.ResumeTiming();
        std::atomic<bool> sent{false};
        std::thread flood([&] {
            for (const Bytes& reply : replies)
                ::sendto(console, reply.data(), reply.size(), 0, reinterpret_cast<const sockaddr*>(&replyTo),
                         sizeof replyTo);
            sent = true;
        });
        QObject window;
        QEventLoop loop;
        Clock::time_point quiet{};
        std::function<void()> post = [&] {
            QTimer::singleShot(0, &window, [&, posted = Clock::now()] {
                const auto now = Clock::now();
                worst = std::max(worst, now - posted);
                if (!sent)
                    quiet = now + 200ms; // what is still queued is read meanwhile
                if (now < quiet || !sent)
                    post();
                else
                    loop.quit();
            });
        };
        post();
        loop.exec();
        flood.join();
        state.counters["hosts"] = static_cast<double>(discovery.discoveredHosts().size());
    }
    ::close(console);
    state.counters["worst_event_latency_ms"] = std::chrono::duration<double, std::milli>(worst).count();
}
BENCHMARK(BM_DiscoveryFloodWindowLatency)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RecordGroupToSocket(benchmark::State& state) {
    CountingConsole console;
    QTemporaryDir dir;
    // This console never answers: SLIP as chosen, so nothing waits for the framing.
    auto manager = makeManager(dir, EosFramingChoice::slip);
    manager->connectToConsole(QStringLiteral("127.0.0.1"), console.port);
    if (!runUntil([&] { return manager->isConnected(); })) {
        state.SkipWithError("the link did not come up");
        return;
    }
    // A recording waits for the link to settle: the console is taken as silent once the
    // framing was given its time. The ping, the version and the groups' questions come first.
    runUntil([&] { return manager->health() == EosConsoleHealth::silent && console.ends >= 8; }, 10000);

    GridElements elements;
    std::vector<QUuid> group;
    for (const char* number : {"1", "2", "3", "7"}) {
        elements.push_back({QUuid::createUuid(),
                            {static_cast<std::int64_t>(elements.size()), 0},
                            QString::fromUtf8(number)});
        group.push_back(elements.back().id);
    }
    const SelectionGroups groups = {group};
    const QString groupNumber = QStringLiteral("12");
    double slowest = 0;
    int overOneMillisecond = 0;
    for (auto _ : state) {
        // The selection, the recording, the channels and the question that confirms them.
        const int expected = console.ends + 8;
        const auto start = std::chrono::steady_clock::now();
        manager->recordGroup(groupNumber, groups, elements);
        // Waiting without spinning leaves the two cores to the link and the console.
        for (int seen = console.ends; seen < expected; seen = console.ends)
            console.ends.wait(seen);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        slowest = std::max(slowest, elapsed.count());
        overOneMillisecond += elapsed > 1ms ? 1 : 0;
    }
    state.counters["slowest_us"] = slowest * 1e6;
    state.counters["over_1ms"] = overOneMillisecond;
    manager.reset(); // closes the link, which ends the console's thread
}
BENCHMARK(BM_RecordGroupToSocket)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(5000);

// A console on loopback that sends a prepared SLIP stream once, as fast as it is read.
class TalkingConsole {
public:
    explicit TalkingConsole(QByteArray stream)
        : m_stream(std::move(stream)) {
        m_listener = loopbackListener(port);
        m_thread = std::thread([this] {
            m_fd = ::accept(m_listener, nullptr, nullptr);
            m_go.wait(false);
            for (qsizetype sent = 0; sent < m_stream.size();) {
                const ssize_t put = ::send(m_fd, m_stream.constData() + sent,
                                           static_cast<std::size_t>(m_stream.size() - sent), MSG_NOSIGNAL);
                if (put <= 0)
                    break;
                sent += put;
            }
        });
    }
    ~TalkingConsole() {
        go();
        m_thread.join();
        ::close(m_fd);
        ::close(m_listener);
    }
    void go() {
        m_go = true;
        m_go.notify_all();
    }

    std::uint16_t port = 0;

private:
    QByteArray m_stream;
    int m_listener = -1;
    int m_fd = -1;
    std::atomic<bool> m_go{false};
    std::thread m_thread;
};

// What a busy desk says: its command line and selection changing with every key, the
// answer to a ping, and messages the link does not act on.
QByteArray consoleStream(int messages) {
    QByteArray stream;
    for (int i = 0; i < messages; ++i) {
        OSCMessage message;
        switch (i % 4) {
        case 0:
            message = OSCMessage("/eos/out/user/91/cmd", {"LIVE: Chan " + std::to_string(i % 1000)});
            break;
        case 1:
            message = OSCMessage("/eos/out/active/chan", {std::to_string(i % 1000) + " [75]"});
            break;
        case 2:
            message = OSCMessage("/eos/out/ping", {});
            break;
        default:
            message = OSCMessage("/eos/out/fader/1/" + std::to_string(i % 10) + "/name", {"Fader"});
            break;
        }
        const auto frame = encodeSLIPFrame(encoded(message));
        stream.append(reinterpret_cast<const char*>(frame.data()), static_cast<qsizetype>(frame.size()));
    }
    return stream;
}

void BM_ConsoleMessagesDispatched(benchmark::State& state) {
    constexpr int messages = 400'000;
    const QByteArray stream = consoleStream(messages);
    for (auto _ : state) {
        state.PauseTiming();
        TalkingConsole console(stream);
        QTemporaryDir dir;
        auto manager = makeManager(dir, EosFramingChoice::slip);
        int received = 0;
        int uiUpdates = 0;
        QObject::connect(manager.get(), &EosConnectionManager::messageReceived, [&] { ++received; });
        for (const auto signal : {&EosConnectionManager::consoleCommandLineChanged,
                                  &EosConnectionManager::consoleActiveChannelsChanged})
            QObject::connect(manager.get(), signal, [&] { ++uiUpdates; });
        manager->connectToConsole(QStringLiteral("127.0.0.1"), console.port);
        if (!runUntil([&] { return manager->isConnected(); })) {
            state.SkipWithError("the link did not come up");
            return;
        }
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        console.go();
        // The event loop runs as in the window: the link reads a bounded amount per turn.
        QEventLoop loop;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, [&] {
            if (received >= messages)
                loop.quit();
        });
        QObject::connect(manager.get(), &EosConnectionManager::messageReceived, &loop, [&] {
            if (received >= messages)
                loop.quit();
        });
        check.start(100);
        loop.exec();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.counters["messages_per_s"] = messages / elapsed.count();
        state.counters["ui_updates_per_s"] = uiUpdates / elapsed.count();
        state.PauseTiming();
        manager.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ConsoleMessagesDispatched)->Unit(benchmark::kMillisecond)->Iterations(3);

// A desk gone wild: 12-byte messages as fast as the link takes them, while the window
// posts itself an event each time the last one has run. The worst wait of such an event
// is what a person would feel as the window freezing.
void BM_TinyPacketFlood(benchmark::State& state) {
    constexpr int messages = 4'000'000; // long enough for any piling up of read turns to show
    const auto framing = state.range(0) == 0 ? EosFraming::length : EosFraming::slip;
    QByteArray stream;
    for (int i = 0; i < messages; ++i)
        stream += framedPacket(framing, encoded(OSCMessage("/n", {i}))); // "/n", ",i", the number
    using Clock = std::chrono::steady_clock;
    Clock::duration worst{};
    Clock::duration reading{};
    for (auto _ : state) {
        state.PauseTiming();
        TalkingConsole console(stream);
        EosTcpLink link(framing, EosClock::system(), 10s);
        bool ready = false;
        int received = 0;
        QEventLoop loop;
        QObject::connect(&link, &EosTcpLink::ready, [&] { ready = true; });
        QObject::connect(&link, &EosTcpLink::messageReceived, [&] {
            if (++received == messages)
                loop.quit();
        });
        link.open(QList<QHostAddress>{QHostAddress::LocalHost}, console.port);
        if (!runUntil([&] { return ready; })) {
            state.SkipWithError("the link did not come up");
            return;
        }
        state.ResumeTiming();
        QObject window; // takes the last posted event with it
        std::function<void()> post = [&] {
            QTimer::singleShot(0, &window, [&, posted = Clock::now()] {
                worst = std::max(worst, Clock::now() - posted);
                if (received < messages)
                    post();
            });
        };
        const auto start = Clock::now();
        console.go();
        post();
        loop.exec();
        reading += Clock::now() - start;
    }
    // Over every run: the worst wait any of them saw.
    state.counters["messages_per_s"] = static_cast<double>(messages) *
                                       static_cast<double>(state.iterations()) /
                                       std::chrono::duration<double>(reading).count();
    state.counters["worst_event_latency_ms"] = std::chrono::duration<double, std::milli>(worst).count();
}
BENCHMARK(BM_TinyPacketFlood)->ArgName("slip")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// Starts the console simulator on free ports with `options`; its TCP port, 0 if it did not start.
std::uint16_t startSimulator(QProcess& simulator, const QStringList& options) {
    simulator.setProcessChannelMode(QProcess::MergedChannels);
    simulator.start(QString::fromUtf8(PEXLORA_CONSOLE_SIM),
                    QStringList{QStringLiteral("--tcp-port"), QStringLiteral("0"), QStringLiteral("--discovery-port"),
                                QStringLiteral("0")} +
                        options);
    std::uint16_t port = 0;
    static const QRegularExpression ready(QStringLiteral("Ready: TCP [^ ]+:(\\d+)"));
    runUntil([&] {
        // The simulator prints every message; reading its output keeps it from blocking.
        while (simulator.canReadLine()) {
            const auto match = ready.match(QString::fromUtf8(simulator.readLine()));
            if (match.hasMatch())
                port = static_cast<std::uint16_t>(match.captured(1).toUInt());
        }
        return port != 0;
    });
    QObject::connect(&simulator, &QProcess::readyRead, [&simulator] { simulator.readAll(); });
    return port;
}

void BM_PatchImport2000FromSimulator(benchmark::State& state) {
    QProcess simulator;
    const std::uint16_t port = startSimulator(simulator, {QStringLiteral("--patch"), QStringLiteral("1-2000")});
    QTemporaryDir dir;
    auto manager = makeManager(dir, EosFramingChoice::automatic);
    manager->connectToConsole(QStringLiteral("127.0.0.1"), port);
    if (port == 0 || !runUntil([&] { return manager->health() == EosConsoleHealth::answering; })) {
        state.SkipWithError("the simulator did not answer");
        return;
    }
    for (auto _ : state) {
        EosPatchImport import(*manager);
        std::optional<EosPatchResult> result;
        QObject::connect(&import, &EosPatchImport::finished,
                         [&](const EosPatchResult& done) { result = done; });
        import.start();
        runUntil([&] { return result.has_value(); }, 30000);
        if (!result || result->channels.size() != 2000 || result->missing != 0) {
            state.SkipWithError("the import did not bring back 2,000 channels");
            return;
        }
    }
    manager.reset();
    simulator.kill();
    simulator.waitForFinished();
}
BENCHMARK(BM_PatchImport2000FromSimulator)->Unit(benchmark::kMillisecond)->Iterations(5);

// A show of 1,000 groups read over loopback (the target is a second), and a recording from
// the press of Return to the desk's group read back (the target is 100 ms).
void BM_ThousandGroupsAndAConfirmedRecording(benchmark::State& state) {
    QStringList groups;
    for (int number = 1; number <= 1000; ++number)
        groups.append(QStringLiteral("%1=%2-%3:Group %1").arg(number).arg(number).arg(number + 11));
    QProcess simulator;
    const std::uint16_t port = startSimulator(simulator, {QStringLiteral("--groups"), groups.join(u';')});
    QTemporaryDir dir;
    auto manager = makeManager(dir, EosFramingChoice::automatic);
    manager->connectToConsole(QStringLiteral("127.0.0.1"), port);
    EosGroupDirectory& directory = manager->groups();
    const auto read = [&] {
        return directory.status() == EosGroupDirectory::Status::ready && directory.groups().size() >= 1000;
    };
    if (port == 0 || !runUntil(read, 30000)) {
        state.SkipWithError("the simulator's groups were not read");
        return;
    }
    GridElements elements;
    std::vector<QUuid> group;
    for (int channel = 1; channel <= 12; ++channel) {
        elements.push_back({QUuid::createUuid(), {channel, 0}, QString::number(channel)});
        group.push_back(elements.back().id);
    }
    double slowestRead = 0;
    double slowestConfirmation = 0;
    int number = 2000;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        directory.start();
        runUntil(read, 30000);
        slowestRead = std::max(slowestRead, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        const QString groupNumber = QString::number(++number);
        start = std::chrono::steady_clock::now();
        manager->recordGroup(groupNumber, {group}, elements);
        runUntil([&] { return manager->recorder().report().tone == EosGroupRecorder::Report::Tone::good; });
        slowestConfirmation =
            std::max(slowestConfirmation, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["read_1000_groups_ms"] = slowestRead * 1e3;
    state.counters["return_to_confirmation_ms"] = slowestConfirmation * 1e3;
    manager.reset();
    simulator.kill();
    simulator.waitForFinished();
}
BENCHMARK(BM_ThousandGroupsAndAConfirmedRecording)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
