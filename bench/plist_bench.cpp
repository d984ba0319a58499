// SPDX-License-Identifier: GPL-3.0-or-later
// How long the readers take over files built to make them slow: each must be
// read or refused well within half a second.
#include "plist/PropertyList.h"

#include <benchmark/benchmark.h>
#include <vector>

using namespace pexlora;

namespace {

void appendBigEndian(QByteArray& out, std::uint64_t value, int width) {
    for (int i = width - 1; i >= 0; --i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// Objects laid out as a binary property list with 4-byte offsets and references.
QByteArray binaryPlist(const std::vector<QByteArray>& objects) {
    QByteArray out("bplist00");
    std::vector<std::uint64_t> offsets;
    for (const QByteArray& object : objects) {
        offsets.push_back(std::uint64_t(out.size()));
        out.append(object);
    }
    const auto table = std::uint64_t(out.size());
    for (const std::uint64_t offset : offsets)
        appendBigEndian(out, offset, 4);
    out.append(QByteArray(6, '\0'));
    out.append(char(4));
    out.append(char(4));
    appendBigEndian(out, objects.size(), 8);
    appendBigEndian(out, 0, 8);
    appendBigEndian(out, table, 8);
    return out;
}

QByteArray counted(int type, std::uint64_t count) {
    QByteArray out(1, char(type | 0x0F));
    out.append(char(0x12));
    appendBigEndian(out, count, 4);
    return out;
}

QByteArray refs(std::uint64_t to, std::uint64_t times) {
    QByteArray one;
    appendBigEndian(one, to, 4);
    return one.repeated(qsizetype(times));
}

void readEach(benchmark::State& state, const QByteArray& file, bool accepted) {
    for (auto _ : state) {
        auto result = readPropertyList(file);
        if (result.ok() != accepted)
            state.SkipWithError("unexpected outcome");
        benchmark::DoNotOptimize(result);
    }
    state.counters["file_bytes"] = double(file.size());
}

// Forty arrays, each holding the next one twice: 2^40 values as a tree. Refused.
void BM_ExponentialSharing(benchmark::State& state) {
    std::vector<QByteArray> objects;
    for (std::uint64_t i = 0; i < 40; ++i)
        objects.push_back(counted(0xA0, 2) + refs(i + 1, 2));
    objects.push_back(QByteArray("\x10\x00", 2));
    readEach(state, binaryPlist(objects), false);
}

// One 1 MiB string referred to 3,000 times. Read, sharing the text.
void BM_SharedLongString(benchmark::State& state) {
    readEach(
        state,
        binaryPlist({counted(0xA0, 3000) + refs(1, 3000), counted(0x50, 1 << 20) + QByteArray(1 << 20, 'x')}),
        true);
}

// A 4,000-character entity referred to 60,000 times. Refused.
void BM_EntityFlood(benchmark::State& state) {
    readEach(state,
             "<?xml version=\"1.0\"?><!DOCTYPE plist [<!ENTITY e \"" + QByteArray(4000, 'e') +
                 "\">]><plist><string>" + QByteArray("&e;").repeated(60000) + "</string></plist>",
             false);
}

// 100,000 attributes on <plist>. Refused.
void BM_AttributeFlood(benchmark::State& state) {
    QByteArray file = "<plist";
    for (int i = 0; i < 100000; ++i)
        file += " a" + QByteArray::number(i) + "=\"\"";
    readEach(state, file + "><string/></plist>", false);
}

} // namespace

BENCHMARK(BM_ExponentialSharing)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SharedLongString)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EntityFlood)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AttributeFlood)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
