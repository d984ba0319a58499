// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the console's feedback in a window: how long the rings take to
// follow a new list of active channels on a large layout, what a layout edit
// costs the index of cell numbers behind them, and how many of the console's
// messages the link dispatches per second while the traffic window watches.
#include "app/console/ConsoleSelectionFollower.h"
#include "app/console/ConsoleTrafficModel.h"
#include "app/console/ConsoleTrafficWindow.h"
#include "canvas/GridCanvasView.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosLink.h"
#include "eos/EosSettings.h"
#include "model/GridViewModel.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
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
    void write(std::span<const std::uint8_t>) override {}
    void close() override {}
    void feed(const OSCMessage& message) { emit messageReceived(message); }
};

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
    EosConnectionManager manager(std::move(config));
    manager.connectToConsole(QStringLiteral("127.0.0.1"), 3032);
    while (!manager.isConnected())
        QCoreApplication::processEvents();
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
