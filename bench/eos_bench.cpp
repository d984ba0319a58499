// The console link's two speed targets: discovery datagrams handled per second (decode,
// rules A and B, upsert into the host table), and the time from recordGroup — what
// pressing Return in the group popover does — until a peer on loopback has read both
// messages, an upper bound of the time until they are written to the socket.
#include "eos/EosConnectionManager.h"
#include "eos/EosDiscoveryReply.h"
#include "eos/EosHostTable.h"
#include "osc/OSCMessageEncoder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
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

// What a discovery socket hears in practice: replies of a few consoles, one only
// rule B reads (a non-ASCII name), and junk.
std::vector<Bytes> typicalDatagrams() {
    std::vector<Bytes> datagrams;
    for (int console = 0; console < 4; ++console)
        datagrams.push_back(encoded(OSCMessage(
            "/etc/discovery/reply", {3032 + console, "Console " + std::to_string(console) + " (Eos Ti)"})));
    Bytes utf8 = encoded(OSCMessage("/etc/discovery/reply", {3040, "Xuhne 1"}));
    utf8[utf8.size() - 7] = 0xC3; // "X\xC3hne 1": not ASCII, so the codec refuses it
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

// A console on loopback that counts the SLIP frames it reads.
class CountingConsole {
public:
    CountingConsole() {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_listener, 1);
        socklen_t length = sizeof address;
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
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

void BM_RecordGroupToSocket(benchmark::State& state) {
    CountingConsole console;
    QTemporaryDir dir;
    EosConnectionConfig config;
    config.discovery.destinations = [] { return std::vector<QString>{}; }; // nothing leaves loopback
    config.discovery.listenPort = 0;
    config.settings =
        std::make_unique<QSettings>(dir.filePath(QStringLiteral("Pexlora.conf")), QSettings::IniFormat);
    auto manager = std::make_unique<EosConnectionManager>(std::move(config));
    manager->connect(QStringLiteral("127.0.0.1"), console.port);
    QElapsedTimer waited;
    waited.start();
    while (!manager->isConnected() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!manager->isConnected()) {
        state.SkipWithError("the link did not come up");
        return;
    }

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
        const int expected = console.ends + 4;
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

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
