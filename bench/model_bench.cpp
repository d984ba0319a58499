// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the model's hot paths: ordering a marquee over a very large rig,
// placing a long line of cells into a layout that is already big, and laying out
// a big rig as it hangs.
#include "model/GridViewModel.h"
#include "model/HungLayout.h"
#include "model/MarqueeOrdering.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>
#include <random>

using namespace pexlora;

namespace {

GridElements squareOfCells(std::int64_t count) {
    const auto side = static_cast<std::int64_t>(std::ceil(std::sqrt(static_cast<double>(count))));
    GridElements elements;
    elements.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i)
        elements.push_back({QUuid::createUuid(), {i % side, i / side}, QString::number(i + 1)});
    return elements;
}

void orderedGroupsBenchmark(benchmark::State& state, MarqueeModifier modifier) {
    const GridElements elements = squareOfCells(state.range(0));
    // Dragged up and to the left so that every rule has to reverse its order.
    const QPointF start(1e9, 1e9), end(-1, -1);
    for (auto _ : state) {
        auto groups = orderedGroups(modifier, elements, start, end, GridViewModel::baseCellSize, {0, 0});
        benchmark::DoNotOptimize(groups.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void placeLine(benchmark::State& state) {
    const std::int64_t existing = 10000;
    for (auto _ : state) {
        state.PauseTiming();
        auto model = std::make_unique<GridViewModel>();
        for (std::int64_t i = 0; i < existing; ++i)
            model->placeElement({i % 100, i / 100});
        state.ResumeTiming();
        for (std::int64_t col = 0; col < state.range(0); ++col)
            model->placeElement({col, 200});
        benchmark::DoNotOptimize(model->elements().data());
        state.PauseTiming();
        model.reset();
        state.ResumeTiming();
    }
}

// A festival rig: fixtures on pipes 0.3 m apart across a 40 m stage, so that the
// pipes crowd their cells; or, as a desk without Augment3d data reports, all on one spot.
// A stray fixture 3 km off stretches the grid to its limit.
void hungRig(benchmark::State& state, bool oneSpot, bool stray) {
    std::mt19937 random(3);
    std::uniform_real_distribution<double> jitter(-0.05, 0.05);
    std::vector<HungChannel> channels;
    for (int channel = 1; channel <= state.range(0); ++channel) {
        const double x = oneSpot ? 0 : (channel % 130) * 0.3 - 20 + jitter(random);
        const double y = oneSpot ? 0 : (channel / 130) * 0.6 + jitter(random);
        channels.push_back({channel, QPointF(x, y)});
    }
    if (stray)
        channels.front().position = QPointF(3000, -3000);
    std::shuffle(channels.begin(), channels.end(), random);
    for (auto _ : state) {
        auto cells = hungLayout(channels);
        benchmark::DoNotOptimize(cells.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

const int registered = [] {
    const std::pair<const char*, MarqueeModifier> modifiers[] = {{"none", MarqueeModifier::none},
                                                                 {"shift", MarqueeModifier::shift},
                                                                 {"option", MarqueeModifier::option},
                                                                 {"command", MarqueeModifier::command},
                                                                 {"control", MarqueeModifier::control}};
    for (const auto& [name, modifier] : modifiers) {
        benchmark::RegisterBenchmark((std::string("BM_OrderedGroups/") + name).c_str(),
                                     orderedGroupsBenchmark, modifier)
            ->Arg(100000)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("BM_PlaceLine", placeLine)->Arg(1000)->Unit(benchmark::kMillisecond);
    const std::tuple<const char*, bool, bool> rigs[] = {{"pipes", false, false},
                                                        {"oneSpot", true, false},
                                                        {"pipesAndAStray", false, true},
                                                        {"oneSpotAndAStray", true, true}};
    for (const auto& [name, oneSpot, stray] : rigs) {
        benchmark::RegisterBenchmark((std::string("BM_HungLayout/") + name).c_str(), hungRig, oneSpot, stray)
            ->Arg(5000)
            ->Unit(benchmark::kMillisecond);
    }
    return 0;
}();

} // namespace

BENCHMARK_MAIN();
