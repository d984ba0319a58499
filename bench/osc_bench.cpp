// SPDX-License-Identifier: GPL-3.0-or-later
// Encoding and decoding speed of our OSC codec beside liblo's, on the same messages:
// the 40-byte discovery request and a message of five arguments (int32, float,
// string, 16-byte blob, int64). Each encode builds the message from its values, as a
// sender does; each decode yields a message whose arguments can be read.
#include "osc/OSCMessageEncoder.h"
#include "osc/OSCPacketDecoder.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <lo/lo.h>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace pexlora;
using Bytes = std::vector<std::uint8_t>;

const char* const discoveryAddress = "/etc/discovery/request";
const char* const fiveAddress = "/pexlora/bench/five";
const std::uint8_t blobBytes[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

OSCMessage ourDiscovery() {
    return OSCMessage(discoveryAddress, {3035, "Pexlora"});
}

OSCMessage ourFive() {
    return OSCMessage(fiveAddress, {3035, 2.5f, "Pexlora", Blob(std::begin(blobBytes), std::end(blobBytes)),
                                    std::int64_t{-7}});
}

lo_message libloDiscovery() {
    lo_message m = lo_message_new();
    lo_message_add_int32(m, 3035);
    lo_message_add_string(m, "Pexlora");
    return m;
}

lo_message libloFive() {
    lo_message m = lo_message_new();
    lo_blob blob = lo_blob_new(sizeof blobBytes, blobBytes);
    lo_message_add_int32(m, 3035);
    lo_message_add_float(m, 2.5f);
    lo_message_add_string(m, "Pexlora");
    lo_message_add_blob(m, blob);
    lo_message_add_int64(m, -7);
    lo_blob_free(blob);
    return m;
}

Bytes libloBytes(lo_message (*make)(), const char* address) {
    lo_message m = make();
    std::size_t size = 0;
    void* data = lo_message_serialise(m, address, nullptr, &size);
    Bytes bytes(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    std::free(data);
    lo_message_free(m);
    return bytes;
}

void encodeOurs(benchmark::State& state, OSCMessage (*make)()) {
    for (auto _ : state) {
        auto bytes = encodeOSC(make());
        benchmark::DoNotOptimize(bytes);
    }
}

void encodeLiblo(benchmark::State& state, lo_message (*make)(), const char* address) {
    char buffer[512];
    for (auto _ : state) {
        lo_message m = make();
        std::size_t size = sizeof buffer;
        benchmark::DoNotOptimize(lo_message_serialise(m, address, buffer, &size));
        benchmark::ClobberMemory();
        lo_message_free(m);
    }
}

void decodeOurs(benchmark::State& state, Bytes input) {
    for (auto _ : state) {
        auto packet = decodeOSCPacket(input);
        benchmark::DoNotOptimize(packet);
    }
}

void decodeLiblo(benchmark::State& state, Bytes input) {
    for (auto _ : state) {
        int result = 0;
        lo_message m = lo_message_deserialise(input.data(), input.size(), &result);
        benchmark::DoNotOptimize(lo_message_get_argv(m));
        lo_message_free(m);
    }
}

// Keeps each figure's best time per iteration over the repetitions, so that the ratios
// can be printed at the end. The best is the run least disturbed by other work, and CPU
// time leaves out the time that other programs on the machine had the core. With
// --benchmark_report_aggregates_only only aggregates arrive; "min" is the best then.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool best = run.run_type == Run::RT_Iteration ||
                              (run.run_type == Run::RT_Aggregate && run.aggregate_name == "min");
            if (!best || run.error_occurred)
                continue;
            const std::string name = run.run_name.function_name;
            const double time = run.GetAdjustedCPUTime();
            const auto known = nanoseconds.find(name);
            if (known == nanoseconds.end() || time < known->second)
                nanoseconds[name] = time;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, double> nanoseconds;
};

template <typename... Args> void registerFigure(const char* name, Args&&... args) {
    benchmark::RegisterBenchmark(name, std::forward<Args>(args)...)
        ->ComputeStatistics("min", [](const std::vector<double>& times) {
            return *std::min_element(times.begin(), times.end());
        });
}

} // namespace

int main(int argc, char** argv) {
    const Bytes sharedDiscovery = libloBytes(libloDiscovery, discoveryAddress);
    // liblo writes the blob with OSC 1.0 padding (none for 16 bytes); our decoder reads that
    // layout too, so both decoders get exactly these bytes.
    const Bytes sharedFive = libloBytes(libloFive, fiveAddress);
    if (sharedDiscovery != *encodeOSC(ourDiscovery()) ||
        decodeOSCMessage(sharedFive)->values != ourFive().values) {
        std::fprintf(stderr, "the two codecs disagree on the benchmark messages\n");
        return 1;
    }

    registerFigure("encode discovery/pexlora", encodeOurs, ourDiscovery);
    registerFigure("encode discovery/liblo", encodeLiblo, libloDiscovery, discoveryAddress);
    registerFigure("decode discovery/pexlora", decodeOurs, sharedDiscovery);
    registerFigure("decode discovery/liblo", decodeLiblo, sharedDiscovery);
    registerFigure("encode five/pexlora", encodeOurs, ourFive);
    registerFigure("encode five/liblo", encodeLiblo, libloFive, fiveAddress);
    registerFigure("decode five/pexlora", decodeOurs, sharedFive);
    registerFigure("decode five/liblo", decodeLiblo, sharedFive);

    benchmark::AddCustomContext("ratio", "liblo time / our time, from the best CPU time of the repetitions");
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nbest CPU time per operation over the repetitions (--benchmark_repetitions, default 1)\n");
    std::printf("%-20s %14s %12s %8s\n", "figure", "pexlora (ns)", "liblo (ns)", "ratio");
    for (const char* figure : {"encode discovery", "decode discovery", "encode five", "decode five"}) {
        const std::string name = figure;
        const auto ours = reporter.nanoseconds.find(name + "/pexlora");
        const auto theirs = reporter.nanoseconds.find(name + "/liblo");
        if (ours == reporter.nanoseconds.end() || theirs == reporter.nanoseconds.end())
            continue;
        std::printf("%-20s %14.1f %12.1f %7.2fx\n", figure, ours->second, theirs->second,
                    theirs->second / ours->second);
    }
    return 0;
}
