// SPDX-License-Identifier: GPL-3.0-or-later
// E1.31 data packets laid out byte by byte from the standard's tables, each layer broken
// in turn; and the levels merged from several sources as receivers merge them.
#include "sacn/SacnMerger.h"
#include "sacn/SacnPacket.h"
#include "sacn/SacnPacketWriter.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pexlora {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put16(Bytes& bytes, std::size_t at, unsigned value) {
    bytes[at] = static_cast<std::uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(value);
}

Bytes dataPacket(std::size_t slots, std::uint16_t universe = 1, std::uint8_t options = 0) {
    Bytes bytes(126 + slots, 0);
    const std::string acn("\x00\x10\x00\x00"
                          "ASC-E1.17\0\0\0",
                          16);
    std::copy(acn.begin(), acn.end(), bytes.begin());
    put16(bytes, 16, 0x7000u | static_cast<unsigned>(bytes.size() - 16));
    bytes[21] = 0x04; // root vector: E1.31 data
    for (std::uint8_t i = 0; i < 16; ++i)
        bytes[22 + i] = i;
    put16(bytes, 38, 0x7000u | static_cast<unsigned>(bytes.size() - 38));
    bytes[43] = 0x02; // framing vector: data packet
    const std::string name = "Eos Ti";
    std::copy(name.begin(), name.end(), bytes.begin() + 44);
    bytes[108] = 100;
    bytes[111] = 42;
    bytes[112] = options;
    put16(bytes, 113, universe);
    put16(bytes, 115, 0x7000u | static_cast<unsigned>(bytes.size() - 115));
    bytes[117] = 0x02;
    bytes[118] = 0xA1;
    put16(bytes, 121, 1);
    put16(bytes, 123, static_cast<unsigned>(slots + 1));
    for (std::size_t slot = 0; slot < slots; ++slot)
        bytes[126 + slot] = static_cast<std::uint8_t>(slot * 7);
    return bytes;
}

// The bytes laid out by hand, and the same packet as the writer lays it out over a buffer
// full of a sentinel byte, so that a field or padding it forgets shows.
Bytes written(const Bytes& laid) {
    SacnDataPacket packet;
    for (std::uint8_t i = 0; i < 16; ++i)
        packet.cid[i] = i;
    packet.sourceName = "Eos Ti";
    packet.priority = 100;
    packet.sequence = 42;
    packet.preview = packet.terminated = true;
    packet.universe = 63999;
    packet.slotCount = 512;
    for (std::size_t slot = 0; slot < 512; ++slot)
        packet.values[slot] = static_cast<std::uint8_t>(slot * 7);
    Bytes bytes(maxSacnPacketSize + 8, 0xEE);
    const std::size_t size = writeSacnPacket(packet, bytes);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size)), laid);
    EXPECT_EQ(bytes[size], 0xEE) << "written past its length";
    bytes.resize(size);
    return bytes;
}

TEST(SacnPacket, AWellFormedDataPacketIsReadLayerByLayer) {
    const Bytes laid = dataPacket(512, 63999, 0xC0);
    const struct {
        const char* name;
        Bytes bytes;
    } table[] = {{"laid out by hand", laid}, {"written and read back", written(laid)}};
    for (const auto& row : table) {
        const auto packet = readSacnPacket(row.bytes);
        ASSERT_TRUE(packet) << row.name;
        EXPECT_EQ(packet->sourceName.view(), "Eos Ti") << row.name;
        EXPECT_EQ(packet->cid[15], 15) << row.name;
        EXPECT_EQ(packet->priority, 100) << row.name;
        EXPECT_EQ(packet->sequence, 42) << row.name;
        EXPECT_TRUE(packet->preview) << row.name;
        EXPECT_TRUE(packet->terminated) << row.name;
        EXPECT_EQ(packet->universe, 63999) << row.name;
        ASSERT_EQ(packet->levels().size(), 512u) << row.name;
        EXPECT_EQ(packet->levels()[3], 21) << row.name;
    }
    EXPECT_EQ(readSacnPacket(dataPacket(24))->levels().size(), 24u) << "fewer slots than 512";
}

TEST(SacnPacket, TheWriterCutsANameTooLongAndRefusesABufferTooSmall) {
    SacnDataPacket packet;
    packet.sourceName = std::string_view(std::string(80, 'n'));
    packet.slotCount = 3;
    std::array<std::uint8_t, maxSacnPacketSize> buffer;
    buffer.fill(0xEE);
    const std::size_t size = writeSacnPacket(packet, buffer);
    ASSERT_EQ(size, 129u);
    const auto read = readSacnPacket(std::span(buffer).first(size));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->sourceName.view(), std::string(63, 'n')) << "63 bytes and the terminator";
    EXPECT_EQ(writeSacnPacket(packet, std::span(buffer).first(128)), 0u);
}

TEST(SacnPacket, AnyLayerOutOfShapeIsRefused) {
    const struct {
        const char* broken;
        std::size_t at;
        std::uint8_t value;
    } table[] = {
        {"identifier", 4, 'X'},       {"root length", 17, 0x00},    {"root vector", 21, 0x08},
        {"framing length", 39, 0x01}, {"framing vector", 43, 0x01}, {"priority above 200", 108, 201},
        {"universe 0", 114, 0x00},    {"DMP length", 116, 0x00},    {"DMP vector", 117, 0x01},
        {"address type", 118, 0xA0},  {"first address", 120, 0x01}, {"increment", 122, 0x02},
        {"value count", 124, 0x00},
    };
    for (const auto& row : table) {
        Bytes bytes = dataPacket(16);
        bytes[row.at] = row.value;
        EXPECT_FALSE(readSacnPacket(bytes)) << row.broken;
    }
    Bytes overlong = dataPacket(512);
    overlong.push_back(0);
    EXPECT_FALSE(readSacnPacket(overlong)) << "513 slots";
    const Bytes whole = dataPacket(16);
    EXPECT_FALSE(readSacnPacket(std::span(whole).first(125))) << "cut short";
    EXPECT_FALSE(readSacnPacket(dataPacket(16, 64000))) << "universe above 63999";
}

TEST(SacnPacket, OnlyAPacketBehindByOneToTwentyIsOld) {
    const struct {
        std::uint8_t last;
        std::uint8_t sequence;
        bool follows;
    } table[] = {{10, 11, true},  {10, 10, false}, {10, 9, false},  {10, 247, false},
                 {10, 246, true}, {255, 0, true},  {0, 255, false}, {100, 200, true}};
    for (const auto& row : table)
        EXPECT_EQ(sacnSequenceFollows(row.last, row.sequence), row.follows)
            << int{row.last} << " then " << int{row.sequence};
}

} // namespace
} // namespace pexlora

namespace pexlora {
namespace {

using namespace std::chrono_literals;

SacnDataPacket from(std::uint8_t source, std::uint8_t priority, std::uint8_t sequence,
                    std::initializer_list<std::uint8_t> levels, std::uint16_t universe = 1) {
    SacnDataPacket packet;
    packet.cid[0] = source;
    packet.priority = priority;
    packet.sequence = sequence;
    packet.universe = universe;
    std::copy(levels.begin(), levels.end(), packet.values.begin());
    packet.slotCount = levels.size();
    return packet;
}

TEST(SacnMerger, TheHighestPriorityWinsThenTheHighestLevelUntilASourceIsGone) {
    SacnMerger merger;
    EXPECT_TRUE(merger.take(from(1, 100, 1, {10, 200, 30}), 0ms));
    EXPECT_TRUE(merger.take(from(2, 100, 1, {50, 20}), 0ms));
    EXPECT_EQ(merger.level(1, 1), 50) << "equal priority: the highest level";
    EXPECT_EQ(merger.level(1, 2), 200);
    EXPECT_EQ(merger.level(1, 3), 30) << "only one source sends slot 3";
    EXPECT_EQ(merger.level(1, 4), std::nullopt);
    EXPECT_EQ(merger.level(2, 1), std::nullopt);

    EXPECT_TRUE(merger.take(from(3, 150, 1, {5}), 1000ms));
    EXPECT_EQ(merger.level(1, 1), 5) << "a higher priority wins, even lower";
    EXPECT_EQ(merger.level(1, 2), 200) << "where it sends nothing, the others still count";

    // Not taken: behind its own last sequence, a preview, not levels.
    EXPECT_FALSE(merger.take(from(3, 150, 0, {99}), 1100ms));
    SacnDataPacket preview = from(3, 150, 2, {99});
    preview.preview = true;
    SacnDataPacket alternate = from(3, 150, 2, {99});
    alternate.startCode = 0xDD;
    EXPECT_FALSE(merger.take(preview, 1100ms));
    EXPECT_FALSE(merger.take(alternate, 1100ms));
    EXPECT_EQ(merger.level(1, 1), 5);

    // Sources 1 and 2 fall silent; 3 goes on until it says it stops.
    EXPECT_TRUE(merger.take(from(3, 150, 2, {6}), 2400ms));
    EXPECT_TRUE(merger.expire(2500ms));
    EXPECT_EQ(merger.level(1, 2), std::nullopt);
    SacnDataPacket stop = from(3, 150, 3, {6});
    stop.terminated = true;
    EXPECT_TRUE(merger.take(stop, 2600ms));
    EXPECT_EQ(merger.level(1, 1), std::nullopt);
    EXPECT_FALSE(merger.expire(10s));
}

TEST(SacnMerger, AFloodOfSourcesAndUniversesIsCut) {
    SacnMerger merger;
    for (std::uint8_t source = 0; source < SacnMerger::maxSourcesPerUniverse; ++source)
        EXPECT_TRUE(merger.take(from(source, 100, 1, {1}), 0ms));
    EXPECT_FALSE(merger.take(from(200, 100, 1, {255}), 0ms));
    EXPECT_EQ(merger.level(1, 1), 1);
    for (std::uint16_t universe = 2; universe <= SacnMerger::maxUniverses; ++universe)
        EXPECT_TRUE(merger.take(from(1, 100, 1, {1}, universe), 0ms));
    EXPECT_FALSE(merger.take(from(1, 100, 1, {1}, 5000), 0ms));
}

} // namespace
} // namespace pexlora
