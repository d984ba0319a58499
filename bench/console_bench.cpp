// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the console's feedback in a window: how long the rings take to
// follow a new list of active channels on a large layout, and what a layout
// edit costs the index of cell numbers behind them.
#include "app/console/ConsoleSelectionFollower.h"
#include "canvas/GridCanvasView.h"
#include "model/GridViewModel.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <benchmark/benchmark.h>

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
