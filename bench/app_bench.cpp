// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for the application shell: how long the program takes from its start
// to the first painted window, how long undoing a large move takes, and how much
// memory a long undo history keeps.
#include "app/document/DocumentHistory.h"
#include "model/GridViewModel.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <malloc.h>
#include <spawn.h>
#include <stdlib.h>
#include <string_view>
#include <sys/wait.h>
#include <vector>

extern char** environ;

using namespace pexlora;

namespace {

// Runs the real program on the demo layout until its first window has been
// exposed and painted (offscreen), and times the whole process.
void startupToFirstWindow(benchmark::State& state) {
    // A runtime and data folder of its own, so that a Pexlora the user runs does not
    // take the program's files over, and no recovery question waits for an answer.
    char scratch[] = "/tmp/pexlora-bench-XXXXXX";
    if (!mkdtemp(scratch)) {
        state.SkipWithError("no scratch folder");
        return;
    }
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view text(*entry);
        if (!text.starts_with("XDG_RUNTIME_DIR=") && !text.starts_with("XDG_DATA_HOME="))
            environment.emplace_back(text);
    }
    environment.emplace_back(std::string("XDG_RUNTIME_DIR=") + scratch);
    environment.emplace_back(std::string("XDG_DATA_HOME=") + scratch);
    environment.emplace_back("QT_QPA_PLATFORM=offscreen");
    environment.emplace_back("PEXLORA_EXIT_WHEN_SHOWN=1");
    std::vector<char*> envp;
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::string program = PEXLORA_PROGRAM;
    std::string demo = PEXLORA_DEMO;
    char* argv[] = {program.data(), demo.data(), nullptr};

    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), &quiet, nullptr, argv, envp.data()) != 0) {
            state.SkipWithError("the program could not be started");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the program did not end cleanly");
            break;
        }
        state.SetIterationTime(elapsed.count());
    }
    posix_spawn_file_actions_destroy(&quiet);
    std::error_code ignored;
    std::filesystem::remove_all(scratch, ignored);
}

// A 100 × 100 square of cells, numbered in reading order.
void fillSquare(GridViewModel& model) {
    std::vector<GridPosition> square;
    for (std::int64_t i = 0; i < 10000; ++i)
        square.push_back({i % 100, i / 100});
    model.placeElements(square);
}

QSet<QUuid> rows(const GridViewModel& model, std::int64_t first, std::int64_t count) {
    QSet<QUuid> ids;
    for (std::int64_t row = first; row < first + count; ++row)
        for (std::int64_t col = 0; col < 100; ++col)
            if (auto id = model.elementAt({col, row}))
                ids.insert(*id);
    return ids;
}

void undoLargeMove(benchmark::State& state) {
    GridViewModel model;
    DocumentHistory history(&model);
    fillSquare(model);
    model.setEditSelectedIDs(rows(model, 0, 10)); // 1,000 cells
    model.moveEditSelection(0, 100);
    QUndoStack* stack = history.stack();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        stack->undo();
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        stack->redo();
    }
    state.counters["cells"] = static_cast<double>(model.elements().size());
}

double heapMegabytes() {
    return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

// 1,000 steps on a 10,000-cell layout. "mixed": a session's worth of single
// adds, moves of a 100-cell row, renumbers, quick renumbers and deletes;
// "large moves": every step moves 1,000 cells, the worst a step can carry.
void historyMemory(benchmark::State& state) {
    const bool largeMoves = state.range(0) == 1;
    double kept = 0;
    for (auto _ : state) {
        GridViewModel model;
        DocumentHistory history(&model);
        fillSquare(model);
        history.markSaved();
        const QSet<QUuid> block = rows(model, 0, largeMoves ? 10 : 1);
        const double before = heapMegabytes();
        for (int step = 0; step < 1000; ++step) {
            const int kind = largeMoves ? step % 2 : step % 5;
            switch (kind) {
            case 0:
            case 4:
                model.setEditSelectedIDs(block);
                model.moveEditSelection(0, kind == 0 ? 100 : -100);
                break;
            case 1:
                if (largeMoves) {
                    model.setEditSelectedIDs(block);
                    model.moveEditSelection(0, -100);
                } else {
                    model.placeElement({200 + step, 0});
                }
                break;
            case 2:
                model.applyNumber(*model.elementAt({step % 100, 50}), QString::number(step));
                break;
            default:
                model.applyQuickRenumber(*model.elementAt({step % 100, 60}));
                break;
            }
        }
        kept = heapMegabytes() - before;
        benchmark::DoNotOptimize(history.stack()->count());
        state.counters["steps"] = history.stack()->count() - 1;
    }
    state.counters["MB"] = kept;
}

const int registered = [] {
    benchmark::RegisterBenchmark("BM_StartupToFirstWindow/demo", startupToFirstWindow)
        ->UseManualTime()
        ->Iterations(10)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_UndoMove/1000of10000", undoLargeMove)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_HistoryMemory/mixed", historyMemory)->Arg(0)->Iterations(1);
    benchmark::RegisterBenchmark("BM_HistoryMemory/largeMoves", historyMemory)->Arg(1)->Iterations(1);
    return 0;
}();

} // namespace

BENCHMARK_MAIN();
