// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for drawing the canvas off screen into an image: a whole repaint of a
// window-sized canvas over a large rig (also a full-screen one on a 4K screen,
// at device pixel ratio 2, with and without the desk's levels), one preview tick
// with its repaint, and a change of levels with its repaint.
#include "canvas/CanvasClock.h"
#include "canvas/GridCanvasView.h"
#include "canvas/SelectionPreview.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

using namespace pexlora;

namespace {

class BenchClock final : public CanvasClock {
public:
    double now() const override { return time; }
    double time = 0;
};

// 100 × 100 numbered cells at zoom 0.3: about 2,500 of them in a 1100 × 750 view,
// 6,000 in a 1920 × 1080 one.
struct Rig {
    explicit Rig(double zoom = 0.3, QSize size = QSize(1100, 750), qreal ratio = 1)
        : image(size * ratio, QImage::Format_ARGB32_Premultiplied) {
        image.setDevicePixelRatio(ratio);
        auto owned = std::make_unique<BenchClock>();
        clock = owned.get();
        canvas = std::make_unique<GridCanvasView>(std::move(owned));
        for (std::int64_t row = 0; row < 100; ++row) {
            std::vector<GridPosition> line;
            for (std::int64_t col = 0; col < 100; ++col)
                line.push_back({col, row});
            model.placeElements(line);
        }
        model.setZoomScale(zoom);
        model.setPanOffset({9, 9});
        canvas->setViewModel(&model);
        canvas->resize(size);
    }
    GridViewModel model;
    BenchClock* clock = nullptr;
    std::unique_ptr<GridCanvasView> canvas;
    QImage image;
};

// Every cell at a level of its own, from 0 to full and round again; one in
// fifty of them unpatched.
void showLevels(Rig& rig) {
    QHash<QUuid, float> levels;
    QSet<QUuid> unpatched;
    const GridElements& cells = rig.model.elements();
    for (std::size_t i = 0; i < cells.size(); ++i) {
        levels.insert(cells[i].id, static_cast<float>(i % 101) / 100.0f);
        if (i % 50 == 7)
            unpatched.insert(cells[i].id);
    }
    rig.canvas->updateCellLevels(levels, {});
    rig.canvas->setUnpatchedCells(unpatched);
}

// Arguments: zoom in percent, canvas width and height, device pixel ratio, levels shown.
void BM_FullRepaint(benchmark::State& state) {
    Rig rig(static_cast<double>(state.range(0)) / 100.0,
            QSize(static_cast<int>(state.range(1)), static_cast<int>(state.range(2))),
            static_cast<qreal>(state.range(3)));
    rig.model.setPreviewPlaying(false);
    rig.model.setSelectionGroups({{rig.model.elements()[101].id, rig.model.elements()[102].id}});
    if (state.range(4) != 0)
        showLevels(rig);
    const QRegion everything(rig.canvas->rect());
    for (auto _ : state) {
        QPainter painter(&rig.image);
        rig.canvas->paintCanvas(painter, everything);
    }
    state.counters["cells"] = static_cast<double>(rig.canvas->width() / rig.model.cellSize()) *
                              static_cast<double>(rig.canvas->height() / rig.model.cellSize());
}
BENCHMARK(BM_FullRepaint)
    ->Args({30, 1100, 750, 1, 0})
    ->Args({100, 1100, 750, 1, 0})
    ->Args({30, 1920, 1080, 2, 0})
    ->Args({30, 1920, 1080, 2, 1})
    ->Args({100, 1920, 1080, 2, 0})
    ->Args({100, 1920, 1080, 2, 1})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

// A zoom step of a full-screen 4K canvas: everything is drawn afresh at the new
// size, the cell images and the digits' glyphs too.
void BM_ZoomStep(benchmark::State& state) {
    Rig rig(0.3, QSize(1920, 1080), 2);
    rig.model.setPreviewPlaying(false);
    const QRegion everything(rig.canvas->rect());
    bool in = false;
    for (auto _ : state) {
        rig.model.setZoomScale((in = !in) ? 0.3 * 1.05 : 0.3);
        QPainter painter(&rig.image);
        rig.canvas->paintCanvas(painter, everything);
    }
}
BENCHMARK(BM_ZoomStep)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

// A wheel pan of a full-screen canvas on the screen, at device pixel ratio 2: the
// screen's picture is shifted and the strip it uncovers painted.
void BM_PanStep(benchmark::State& state) {
    Rig rig(0.3, QSize(1920, 1080));
    rig.model.setPreviewPlaying(false);
    rig.canvas->show();
    QCoreApplication::processEvents();
    const double step = static_cast<double>(state.range(0));
    double x = 9;
    for (auto _ : state) {
        x = x > 9 - 200 ? x - step : 9; // leftwards over the rig, then back
        rig.model.setPanOffset({x, 9});
        QCoreApplication::processEvents();
    }
    state.counters["ratio"] = rig.canvas->devicePixelRatioF();
}
BENCHMARK(BM_PanStep)->Arg(7)->Unit(benchmark::kMillisecond);

// The desk moves 100 channels of a 10,000-cell rig on a full-screen 4K canvas:
// their levels are taken and the cells whose drawing changed are painted.
void BM_LevelUpdate(benchmark::State& state) {
    Rig rig(0.3, QSize(1920, 1080), 2);
    rig.model.setPreviewPlaying(false);
    showLevels(rig);
    {
        QPainter painter(&rig.image);
        rig.canvas->paintCanvas(painter, QRegion(rig.canvas->rect()));
    }
    // A hundred cells spread over the rows and columns in view.
    QSet<QUuid> moving;
    for (std::size_t i = 0; moving.size() < 100; ++i)
        moving.insert(rig.model.elements()[(i % 10) * 5 + (i / 10) * 300 + i % 3].id);
    float level = 0;
    for (auto _ : state) {
        level = level > 0.9f ? 0.0f : level + 0.07f;
        QHash<QUuid, float> levels;
        for (const QUuid& id : std::as_const(moving))
            levels.insert(id, level);
        rig.canvas->updateCellLevels(levels, {});
        QPainter painter(&rig.image);
        rig.canvas->paintCanvas(painter, rig.canvas->cellSquares(moving)); // what it asked to repaint
    }
}
BENCHMARK(BM_LevelUpdate)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

void BM_PreviewTick(benchmark::State& state) {
    Rig rig;
    // Thirty rows of ten cells taken with Command: each frame lights a row and
    // the trail keeps about nine more glowing, some 100 cells in all.
    SelectionGroups rows(30);
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < 10; ++c)
            rows[r].push_back(rig.model.elements()[r * 100 + c].id);
    rig.model.setSelectionGroups(rows);
    rig.model.setSelectionModifier(MarqueeModifier::command);
    rig.canvas->preview().synchronise(rig.model); // as showing the canvas would
    {
        QPainter painter(&rig.image);
        rig.canvas->paintCanvas(painter, QRegion(rig.canvas->rect()));
    }
    QRegion dirty;
    QObject::connect(&rig.canvas->preview(), &SelectionPreview::cellsChanged,
                     [&](const QSet<QUuid>& ids) { dirty = rig.canvas->cellsRegion(ids); });
    double glowing = 0;
    for (auto _ : state) {
        rig.clock->time += 1.0 / 60;
        rig.canvas->preview().tick();
        QPainter painter(&rig.image);
        rig.canvas->paintCanvas(painter, dirty);
        state.PauseTiming();
        int lit = 0;
        for (const auto& row : rows)
            for (const QUuid& id : row)
                lit += rig.canvas->preview().glow(id, rig.clock->time) > 0;
        glowing += lit;
        state.ResumeTiming();
    }
    state.counters["glowing"] = glowing / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PreviewTick)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "2"); // the screen of the panning figure: 4K, at twice the points
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
