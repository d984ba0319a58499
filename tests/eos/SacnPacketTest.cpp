// SPDX-License-Identifier: GPL-3.0-or-later
// E1.31 data packets laid out byte by byte from the standard's tables, then each
// layer broken in turn.
#include "sacn/SacnPacket.h"

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
    const std::string acn("\x00\x10\x00\x00" "ASC-E1.17\0\0\0", 16);
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

TEST(SacnPacket, AWellFormedDataPacketIsReadLayerByLayer) {
    const auto packet = readSacnPacket(dataPacket(512, 63999, 0xC0));
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->sourceName, "Eos Ti");
    EXPECT_EQ(packet->cid[15], 15);
    EXPECT_EQ(packet->priority, 100);
    EXPECT_EQ(packet->sequence, 42);
    EXPECT_TRUE(packet->preview);
    EXPECT_TRUE(packet->terminated);
    EXPECT_EQ(packet->universe, 63999);
    ASSERT_EQ(packet->levels().size(), 512u);
    EXPECT_EQ(packet->levels()[3], 21);
    EXPECT_EQ(readSacnPacket(dataPacket(24))->levels().size(), 24u) << "fewer slots than 512";
}

TEST(SacnPacket, AnyLayerOutOfShapeIsRefused) {
    const struct {
        const char* broken;
        std::size_t at;
        std::uint8_t value;
    } table[] = {
        {"identifier", 4, 'X'},        {"root length", 17, 0x00},     {"root vector", 21, 0x08},
        {"framing length", 39, 0x01},  {"framing vector", 43, 0x01},  {"priority above 200", 108, 201},
        {"universe 0", 114, 0x00},     {"DMP length", 116, 0x00},     {"DMP vector", 117, 0x01},
        {"address type", 118, 0xA0},   {"first address", 120, 0x01},  {"increment", 122, 0x02},
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
    } table[] = {{10, 11, true}, {10, 10, false}, {10, 9, false}, {10, 247, false}, {10, 246, true},
                 {255, 0, true}, {0, 255, false}, {100, 200, true}};
    for (const auto& row : table)
        EXPECT_EQ(sacnSequenceFollows(row.last, row.sequence), row.follows) << int{row.last} << " then "
                                                                             << int{row.sequence};
}

} // namespace
} // namespace pexlora
