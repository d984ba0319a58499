// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated desk's levels: set as a desk's command line, keys and OSC set them, and
// laid out on the wire at the patch's intensity addresses.
#include "SimulatorDesk.h"
#include "SimulatorPatch.h"
#include "SimulatorUniverses.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pexlora::sim {
namespace {

OSCMessage newcmd(const char* text) {
    return OSCMessage("/eos/newcmd", {text});
}

OSCMessage key(const char* name, float state = 1.0f) {
    return OSCMessage(OSCAddressPattern(std::string("/eos/key/") + name), {state});
}

TEST(SimulatorLevels, CommandsKeysAndOSCSetTheLevelsADeskWould) {
    const struct Case {
        const char* name;
        std::vector<OSCMessage> messages;
        std::array<int, 8> levels; // of channels 1 to 8 afterwards
        std::string active;        // the operator's last active-channel line, where one is checked
    } cases[] = {
        {"one channel",
         {newcmd("Chan 1 At 75 Enter")},
         {75, 0, 0, 0, 0, 0, 0, 0},
         "1 [75] FOH 1 Source Four 19deg @ 1/1"},
        {"a range", {newcmd("Chan 1 Thru 5 At 75 Enter")}, {75, 75, 75, 75, 75, 0, 0, 0}, "1-5 [75]"},
        {"bare numbers, @ and #", {newcmd("1 Thru 5 @ 75#")}, {75, 75, 75, 75, 75, 0, 0, 0}, ""},
        {"a list", {newcmd("Chan 3 + 7 At 50 Enter")}, {0, 0, 50, 0, 0, 0, 50, 0}, "3, 7 [50]"},
        {"At Full and @ Full on the selection",
         {newcmd("Chan 2 Thru 3 Enter"), newcmd("At Full Enter"), newcmd("Chan 5 Enter"),
          newcmd("@ Full Enter")},
         {0, 100, 100, 0, 100, 0, 0, 0},
         "5 [100] FOH 5 Source Four 19deg @ 1/5"},
        {"Out and At Out",
         {newcmd("Chan 1 Thru 4 Full Enter"), newcmd("Chan 2 Out Enter"), newcmd("Chan 3 Enter"),
          newcmd("At Out Enter")},
         {100, 0, 0, 100, 0, 0, 0, 0},
         ""},
        {"nothing until the line is terminated, then the whole line",
         {OSCMessage("/eos/cmd", {"Chan 1 At 75"}), OSCMessage("/eos/cmd", {" Enter"})},
         {75, 0, 0, 0, 0, 0, 0, 0},
         ""},
        {"keys typed one by one; a key let go types nothing",
         {key("Chan"), key("1"), key("Thru"), key("3"), key("At"), key("9", 0.0f), key("7"), key("5"),
          key("Enter")},
         {75, 75, 75, 0, 0, 0, 0, 0},
         "1-3 [75]"},
        {"/eos/chan/<n> sets that channel, /eos/at the selection",
         {OSCMessage("/eos/chan/6", {std::int32_t{30}}), OSCMessage("/eos/chan/7", {55.5f}),
          OSCMessage("/eos/at", {20.0f})},
         {0, 0, 0, 0, 0, 30, 20, 0},
         "7 [20] FOH 7 Source Four 19deg @ 1/7"},
        {"levels beyond 0-100 are held to it",
         {newcmd("Chan 2 At 150 Enter"), OSCMessage("/eos/chan/3", {std::int32_t{-5}})},
         {0, 100, 0, 0, 0, 0, 0, 0},
         ""},
        {"another user's command sets the same desk's levels",
         {OSCMessage("/eos/user/5/newcmd", {"Chan 8 At 10 Enter"})},
         {0, 0, 0, 0, 0, 0, 0, 10},
         ""},
        {"a group", {newcmd("Group 5 At 60 Enter")}, {0, 60, 0, 60, 0, 0, 0, 0}, ""},
        {"what does not read changes nothing",
         {newcmd("Chan 1 At 40 Enter"), newcmd("Chan At Enter"), newcmd("Chan 1 At fifty Enter"),
          key("Shift")},
         {40, 0, 0, 0, 0, 0, 0, 0},
         ""},
    };
    for (const Case& row : cases) {
        SimulatorShow show{"Levels", rigPatch({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}), {}};
        show.groups["5"].channels = {2, 4};
        SimulatorDesk desk({}, show);
        std::string active;
        for (const OSCMessage& message : row.messages)
            for (const OSCMessage& sent : desk.take(message).everyone)
                if (sent.addressPattern.rawAddress() == "/eos/out/active/chan")
                    active = std::get<std::string>(sent.values[0]);
        std::array<int, 8> levels{};
        for (const auto& [channel, level] : desk.levels())
            if (channel >= 1 && channel <= 8)
                levels[static_cast<std::size_t>(channel - 1)] = level;
        EXPECT_EQ(levels, row.levels) << row.name;
        if (!row.active.empty()) {
            EXPECT_EQ(active, row.active) << row.name;
        }
    }
}

TEST(SimulatorLevels, EachPartsIntensityGoesToItsUniverseAndSlot) {
    const auto entry = [](int channel, int address, bool fine) {
        PatchEntry part;
        part.channel = channel;
        part.address = address;
        part.fineIntensity = fine;
        return part;
    };
    const std::vector<PatchEntry> patch = {
        entry(1, 1, false),    entry(2, 10, true),   entry(3, 517, false),
        entry(4, 1024, false), entry(5, 20, false),  entry(6, 20, false),
        entry(7, 0, false),    entry(8, 600, false), entry(9, 30, true),
    };
    const UniverseSlots universes = universeSlots(
        patch, {{1, 75}, {2, 75}, {3, 100}, {4, 1}, {5, 20}, {6, 40}, {7, 100}, {9, 100}, {99, 50}});
    ASSERT_EQ(universes.size(), 2u) << "address 0 is unpatched; unknown channel 99 is nowhere";
    const auto& first = universes.at(1);
    const auto& second = universes.at(2);
    const struct {
        const char* what;
        std::uint8_t actual;
        std::uint8_t expected;
    } table[] = {
        {"8-bit 75 %", first[0], 191},
        {"16-bit 75 %, coarse", first[9], 191},
        {"16-bit 75 %, fine", first[10], 255},
        {"16-bit full, fine", first[30], 255},
        {"universe 2, slot 5", second[4], 255},
        {"the last slot of universe 2, 1 %", second[511], 3},
        {"a shared slot: the higher", first[19], 102},
        {"a channel at 0 sends 0", second[87], 0},
    };
    for (const auto& row : table)
        EXPECT_EQ(row.actual, row.expected) << row.what;
}

} // namespace
} // namespace pexlora::sim
