// SPDX-License-Identifier: GPL-3.0-or-later
// The sACN receiver's speed target: packets read (readSacnPacket) and merged
// (SacnMerger::take) per second on one core, 64 full universes round robin from one
// desk — at least 1,000,000 a second, ten times a flood of 100,000. Beside it, the
// merge of a universe that eight sources send, as the receiver does once per burst.
#include "sacn/SacnMerger.h"
#include "sacn/SacnPacket.h"

#include <benchmark/benchmark.h>
#include <string_view>
#include <vector>

namespace {

using namespace pexlora;
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t sequenceAt = 111;

void put16(Bytes& bytes, std::size_t at, std::size_t value) {
    bytes[at] = static_cast<std::uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(value);
}

// A data packet of 512 slots as a desk sends it.
Bytes datagram(std::uint16_t universe, std::uint8_t source) {
    Bytes bytes(126 + SacnDataPacket::maxSlots, 0);
    const std::string_view identifier("\x00\x10\x00\x00"
                                      "ASC-E1.17\0\0\0",
                                      16);
    std::copy(identifier.begin(), identifier.end(), bytes.begin());
    put16(bytes, 16, 0x7000u | (bytes.size() - 16));
    bytes[21] = 0x04;
    bytes[22] = source;
    put16(bytes, 38, 0x7000u | (bytes.size() - 38));
    bytes[43] = 0x02;
    const std::string_view name = "ETC Eos Ti primary";
    std::copy(name.begin(), name.end(), bytes.begin() + 44);
    bytes[108] = 100;
    put16(bytes, 113, universe);
    put16(bytes, 115, 0x7000u | (bytes.size() - 115));
    bytes[117] = 0x02;
    bytes[118] = 0xA1;
    put16(bytes, 121, 1);
    put16(bytes, 123, SacnDataPacket::maxSlots + 1);
    for (std::size_t slot = 0; slot < SacnDataPacket::maxSlots; ++slot)
        bytes[126 + slot] = static_cast<std::uint8_t>(slot * 7 + universe + source);
    return bytes;
}

void BM_ReadAndMergePackets(benchmark::State& state) {
    constexpr std::uint16_t universes = 64;
    std::vector<Bytes> datagrams;
    for (std::uint16_t universe = 1; universe <= universes; ++universe)
        datagrams.push_back(datagram(universe, 1));
    SacnMerger merger;
    std::size_t next = 0;
    std::int64_t taken = 0;
    std::chrono::milliseconds now{0};
    for (auto _ : state) {
        Bytes& bytes = datagrams[next];
        // Each round is the desk's next frame: its sequence moves on.
        ++bytes[sequenceAt];
        const auto packet = readSacnPacket(bytes);
        taken += merger.take(*packet, now) ? 1 : 0;
        next = (next + 1) % universes;
        if (next == 0)
            now += 23ms;
    }
    if (taken != static_cast<std::int64_t>(state.iterations()))
        state.SkipWithError("a packet was not taken");
    state.counters["packets/s"] = benchmark::Counter(static_cast<double>(taken), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadAndMergePackets);

void BM_MergeEightSources(benchmark::State& state) {
    SacnMerger merger;
    for (std::uint8_t source = 1; source <= SacnMerger::maxSourcesPerUniverse; ++source)
        merger.take(*readSacnPacket(datagram(1, source)), 0ms);
    for (auto _ : state)
        benchmark::DoNotOptimize(merger.levels(1));
    state.counters["universes/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MergeEightSources);

} // namespace

BENCHMARK_MAIN();
