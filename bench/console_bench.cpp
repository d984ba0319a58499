// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the console's feedback in a window: how long the rings take to
// follow a new list of active channels on a large layout, what a layout edit
// costs the index of cell numbers behind them, how many of the console's
// messages the link dispatches per second while the traffic window watches, and
// how soon a level on the wire shows on the cells.
#include "app/console/ConsoleSelectionFollower.h"
#include "app/console/LiveLevelsFollower.h"
#include "app/console/LiveLevelsSource.h"
#include "app/console/ConsoleTrafficModel.h"
#include "app/console/ConsoleTrafficWindow.h"
#include "canvas/GridCanvasView.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosLink.h"
#include "eos/EosPatchDirectory.h"
#include "eos/EosSettings.h"
#include "levels/SacnReceiver.h"
#include "model/GridViewModel.h"
#include "osc/OSCPacketDecoder.h"
#include "sacn/SacnPacketWriter.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <benchmark/benchmark.h>
#include <chrono>

using namespace pexlora;

namespace {

// 100 × 100 cells numbered 1 to 10,000 in reading order, on a window-sized canvas.
struct Rig {
    Rig() {
        for (std::int64_t row = 0; row < 100; ++row) {
            std::vector<GridPosition> line;
            for (std::int64_t col = 0; col < 100; ++col)
                line.push_back({col, row});
            model.placeElements(line);
        }
        model.setZoomScale(0.3);
        canvas.setViewModel(&model);
        canvas.resize(1100, 750);
    }
    GridViewModel model;
    GridCanvasView canvas;
    ConsoleSelectionFollower follower{&model, &canvas, nullptr};
};

// Waits until `canvas` has painted what it was asked to: a paint event delivered.
void painted(QWidget& canvas) {
    struct Watch : QObject {
        bool seen = false;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint)
                seen = true;
            return false;
        }
    } watch;
    canvas.installEventFilter(&watch);
    // The paint runs as the filter lets the event through, inside the same turn.
    while (!watch.seen)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    canvas.removeEventFilter(&watch);
}

// 1,000 channels as the desk lists them: every other one, so none fold into a range.
QString everyOther(int first) {
    QStringList channels;
    for (int i = 0; i < 1000; ++i)
        channels.append(QString::number(first + 2 * i));
    return channels.join(QStringLiteral(", ")) + QStringLiteral(" [75]");
}

void BM_RingsFollowOneThousandChannels(benchmark::State& state) {
    Rig rig;
    const QString texts[] = {everyOther(1), everyOther(2)};
    rig.follower.follow(texts[1]); // the index is built before the first figure
    std::size_t turn = 0;
    for (auto _ : state) {
        rig.follower.follow(texts[turn++ % 2]);
        benchmark::DoNotOptimize(rig.canvas.consoleSelection().size());
    }
    state.counters["ringed"] = static_cast<double>(rig.canvas.consoleSelection().size());
    state.counters["cells"] = static_cast<double>(rig.model.elements().size());
}
BENCHMARK(BM_RingsFollowOneThousandChannels)->Unit(benchmark::kMillisecond);

// A hostile range on the same layout: two numbers, not two billion channels.
void BM_RingsFollowAHugeRange(benchmark::State& state) {
    Rig rig;
    const QString texts[] = {QStringLiteral("1-2000000000"), QStringLiteral("2-2000000000")};
    rig.follower.follow(texts[1]);
    std::size_t turn = 0;
    for (auto _ : state)
        rig.follower.follow(texts[turn++ % 2]);
    state.counters["ringed"] = static_cast<double>(rig.canvas.consoleSelection().size());
}
BENCHMARK(BM_RingsFollowAHugeRange)->Unit(benchmark::kMillisecond);

// A whole repaint of the window-sized canvas at zoom 0.3, without and with the
// rings of every other channel: what the ring pass adds to a frame.
void BM_RepaintWithRings(benchmark::State& state) {
    Rig rig;
    rig.model.setPreviewPlaying(false);
    if (state.range(0) != 0)
        rig.follower.follow(QStringLiteral("1-10000"));
    QImage image(1100, 750, QImage::Format_ARGB32_Premultiplied);
    const QRegion everything(rig.canvas.rect());
    for (auto _ : state) {
        QPainter painter(&image);
        rig.canvas.paintCanvas(painter, everything);
    }
    state.counters["ringed"] = static_cast<double>(rig.canvas.consoleSelection().size());
}
BENCHMARK(BM_RepaintWithRings)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One cell added while the console has a selection: the index is built again.
void BM_LayoutEditWhileRinged(benchmark::State& state) {
    Rig rig;
    rig.follower.follow(everyOther(1));
    std::int64_t col = 0;
    for (auto _ : state)
        rig.model.placeElement({col++, 200});
}
BENCHMARK(BM_LayoutEditWhileRinged)->Unit(benchmark::kMillisecond);

// A link that is up at once and hands the manager whatever it is fed, as fast as the
// benchmark can: the figure is the manager's and the traffic log's, not a socket's.
class FeedingLink : public EosLink {
public:
    EosFraming framing() const override { return EosFraming::slip; }
    void open(const QString&, std::uint16_t) override {
        QMetaObject::invokeMethod(
            this, [this] { emit ready(); }, Qt::QueuedConnection);
    }
    // Keeps the pings it is asked to send, so that a read of the patch can be told it is
    // over, as a desk's echo tells it.
    void write(std::span<const std::uint8_t> packet) override {
        const auto decoded = decodeOSCPacket(packet);
        const OSCMessage* message = decoded.ok() && decoded.value() ? decoded.value()->message() : nullptr;
        if (message && message->addressPattern.rawAddress() == "/eos/ping")
            pings.push_back(*message);
    }
    void close() override {}
    void feed(const OSCMessage& message) { emit messageReceived(message); }

    std::vector<OSCMessage> pings;
};

// A console link up on a feeding link, its settings in `dir`.
std::unique_ptr<EosConnectionManager> fedManager(const QTemporaryDir& dir, FeedingLink*& link) {
    EosConnectionConfig config;
    config.discovery.destinations = [] { return std::vector<QString>{}; };
    config.discovery.listenPort = 0;
    config.settings =
        std::make_unique<QSettings>(dir.filePath(QStringLiteral("Pexlora.conf")), QSettings::IniFormat);
    config.settings->setValue(eosFramingKey, framingChoiceKey(EosFramingChoice::slip));
    config.makeLink = [&link](EosFraming) {
        auto made = std::make_unique<FeedingLink>();
        link = made.get();
        return made;
    };
    auto manager = std::make_unique<EosConnectionManager>(std::move(config));
    manager->connectToConsole(QStringLiteral("127.0.0.1"), 3032);
    while (!manager->isConnected())
        QCoreApplication::processEvents();
    return manager;
}

// What a busy desk says: its command line and selection changing with every key, the
// answer to a ping, and names of faders.
std::vector<OSCMessage> busyDesk() {
    std::vector<OSCMessage> messages;
    for (int i = 0; i < 1000; ++i) {
        switch (i % 4) {
        case 0:
            messages.emplace_back("/eos/out/user/91/cmd",
                                  std::initializer_list<OSCValue>{"LIVE: Chan " + std::to_string(i)});
            break;
        case 1:
            messages.emplace_back("/eos/out/active/chan",
                                  std::initializer_list<OSCValue>{std::to_string(i) + " [75]"});
            break;
        case 2:
            messages.emplace_back("/eos/out/ping", std::initializer_list<OSCValue>{});
            break;
        default:
            messages.emplace_back(OSCAddressPattern("/eos/out/fader/1/" + std::to_string(i % 10) + "/name"),
                                  OSCValues{"Fader", 1, 0.5f});
            break;
        }
    }
    return messages;
}

// Two million messages through the manager's receive path, with the traffic window
// open (watching = 1) or not; the event loop gets a turn every 1,000 messages, so the
// window's batches (every 100 ms, several a round) and repaints are paid for inside
// the figure. The target is 200,000 messages a second while watching.
void BM_ConsoleTrafficWatched(benchmark::State& state) {
    constexpr int messages = 2'000'000;
    QTemporaryDir dir;
    FeedingLink* link = nullptr;
    const auto fed = fedManager(dir, link);
    EosConnectionManager& manager = *fed;
    std::unique_ptr<ConsoleTrafficWindow> window;
    if (state.range(0) != 0) {
        window = std::make_unique<ConsoleTrafficWindow>(manager);
        window->show();
    }
    const std::vector<OSCMessage> desk = busyDesk();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < messages; ++i) {
            link->feed(desk[static_cast<std::size_t>(i) % desk.size()]);
            if (i % 1000 == 999)
                QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.counters["messages_per_s"] = messages / elapsed.count();
    }
    if (window)
        state.counters["rows_shown"] = window->model()->rowCount();
}
BENCHMARK(BM_ConsoleTrafficWatched)
    ->ArgName("watching")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// From an sACN packet arriving on a loopback socket to the changed cells painted on a
// shown canvas of 10,000 cells, with the event loop running: the receiver, the window's
// follower and the canvas, as in the program. The target is 16 ms.
void BM_LevelChangeToRepaint(benchmark::State& state) {
    QTemporaryDir dir;
    FeedingLink* link = nullptr;
    const auto fed = fedManager(dir, link);
    EosConnectionManager& manager = *fed;
    link->feed(OSCMessage("/eos/out/get/version", {"3.2.0"}));
    // Channels 1 to 512, one to a slot of universe 1.
    constexpr int channels = 512;
    link->feed(OSCMessage("/eos/out/get/patch/count", {channels}));
    for (int channel = 1; channel <= channels; ++channel)
        link->feed(OSCMessage(OSCAddressPattern("/eos/out/get/patch/" + std::to_string(channel) + "/1"),
                              {channel - 1, "UID", "Unit", "ETC", "Source Four", channel, channel}));
    link->feed(OSCMessage("/eos/out/ping", {link->pings.back().values[0]}));

    Rig rig;
    LiveLevelsSource levels(manager, std::make_unique<SacnReceiver>(manager.clock(), SacnReceiverOptions{0}));
    LiveLevelsFollower follower(&rig.model, &rig.canvas, &manager.patch(), &levels);
    rig.canvas.show();
    painted(rig.canvas);
    const SacnReceiver* receiver = &levels.receiver();
    if (!receiver->isListening()) {
        state.SkipWithError("the receiver does not listen");
        return;
    }
    QUdpSocket sender;
    SacnDataPacket packet;
    packet.slotCount = SacnDataPacket::maxSlots;
    std::array<std::uint8_t, maxSacnPacketSize> bytes{};
    double worst = 0;
    for (auto _ : state) {
        // Every other frame brings a hundred channels up or down.
        ++packet.sequence;
        for (std::size_t slot = 0; slot < 100; ++slot)
            packet.values[slot] = packet.sequence % 2 ? 255 : 0;
        const std::size_t size = writeSacnPacket(packet, bytes);
        const auto start = std::chrono::steady_clock::now();
        sender.writeDatagram(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(size),
                             QHostAddress::LocalHost, receiver->localPort());
        painted(rig.canvas);
        const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
        worst = std::max(worst, elapsed.count());
    }
    state.counters["worst_ms"] = worst;
}
BENCHMARK(BM_LevelChangeToRepaint)->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
