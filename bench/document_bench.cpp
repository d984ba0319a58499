// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and opening a very large rig, and Python's plistlib on the same file
// as an independent yardstick.
#include "model/PersistedState.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstdio>

using namespace pexlora;

namespace {

constexpr std::int64_t rigSize = 32768;

PersistedState rig(std::int64_t count) {
    PersistedState state;
    const auto side = std::int64_t(std::ceil(std::sqrt(double(count))));
    state.elements.reserve(std::size_t(count));
    for (std::int64_t i = 0; i < count; ++i)
        state.elements.push_back({QUuid::createUuid(), {i % side, i / side}, QString::number(i + 1)});
    state.zoomScale = 0.75;
    state.panOffsetWidth = -120.5;
    state.panOffsetHeight = 48.0;
    return state;
}

void BM_SaveDocument(benchmark::State& state) {
    const PersistedState document = rig(state.range(0));
    for (auto _ : state) {
        QByteArray bytes = encodePersistedState(document);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.counters["bytes"] = double(encodePersistedState(document).size());
}

// What opening a hostile file leaves in the model: thousands of cells sharing one
// enormous number text. The text must be hashed once, not once per cell.
void BM_SaveCellsSharingOneNumber(benchmark::State& state) {
    PersistedState document = rig(2000);
    const QString number(500000, u'7');
    for (GridElement& element : document.elements)
        element.numberString = number;
    for (auto _ : state) {
        QByteArray bytes = encodePersistedState(document);
        benchmark::DoNotOptimize(bytes.data());
    }
}

void BM_OpenDocument(benchmark::State& state) {
    const QByteArray bytes = encodePersistedState(rig(state.range(0)));
    for (auto _ : state) {
        auto decoded = decodePersistedState(bytes);
        if (!decoded.ok())
            state.SkipWithError(decoded.error().message.toUtf8().constData());
        benchmark::DoNotOptimize(decoded);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_SaveDocument)->Arg(rigSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCellsSharingOneNumber)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDocument)->Arg(rigSize)->Unit(benchmark::kMillisecond);

// Best of several runs, in milliseconds: the figure least disturbed by a busy machine.
template <typename F> double bestMilliseconds(int runs, F&& work) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        best = std::min(
            best,
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// plistlib reads the file we wrote, then writes what it read, best of five each.
void comparePlistlib() {
    const PersistedState document = rig(rigSize);
    const QByteArray bytes = encodePersistedState(document);
    QTemporaryFile file;
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush()) {
        std::printf("plistlib comparison skipped: no temporary file\n");
        return;
    }
    const char* script = R"(
import plistlib, sys, timeit
data = open(sys.argv[1], "rb").read()
value = plistlib.loads(data)
read = min(timeit.repeat(lambda: plistlib.loads(data), number=1, repeat=5))
write = min(timeit.repeat(lambda: plistlib.dumps(value, fmt=plistlib.FMT_BINARY), number=1, repeat=5))
print(f"{read * 1000:.3f} {write * 1000:.3f} {sys.version.split()[0]}")
)";
    QProcess python;
    python.start(QString::fromUtf8(PEXLORA_PYTHON3),
                 {QStringLiteral("-c"), QString::fromUtf8(script), file.fileName()});
    if (!python.waitForFinished(600000) || python.exitCode() != 0) {
        std::printf("plistlib comparison failed: %s\n", python.readAllStandardError().constData());
        return;
    }
    const QList<QByteArray> figures = python.readAllStandardOutput().trimmed().split(' ');
    if (figures.size() != 3)
        return;
    const double pythonRead = figures[0].toDouble();
    const double pythonWrite = figures[1].toDouble();
    const double ourOpen =
        bestMilliseconds(5, [&] { benchmark::DoNotOptimize(decodePersistedState(bytes)); });
    const double ourSave =
        bestMilliseconds(5, [&] { benchmark::DoNotOptimize(encodePersistedState(document)); });
    std::printf("\nSame %lld-cell file (%lld bytes), best of 5:\n", static_cast<long long>(rigSize),
                static_cast<long long>(bytes.size()));
    std::printf("  plistlib (Python %s): read %8.1f ms   write %8.1f ms\n", figures[2].constData(),
                pythonRead, pythonWrite);
    std::printf("  Pexlora:                open %8.1f ms   save  %8.1f ms\n", ourOpen, ourSave);
    std::printf("  plistlib / Pexlora:     read %8.1fx     write %8.1fx\n", pythonRead / ourOpen,
                pythonWrite / ourSave);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    comparePlistlib();
    return 0;
}
