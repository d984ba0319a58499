// SPDX-License-Identifier: GPL-3.0-or-later
// Replies in the shapes desks send them, read by the link's parsers: split lists joined,
// what is not for a reader passed over, numbers written either way.
#include "EosTestSupport.h"
#include "eos/EosConsoleFeedback.h"
#include "eos/EosListAssembler.h"
#include "eos/EosPatchReply.h"
#include "model/ConsoleChannelSet.h"
#include "model/Decimal.h"

#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace test;

// The 21 values of a patch entry on a current desk, long texts and all.
OSCValues patchValues(OSCValue index) {
    OSCValues values{index,
                     "0000000C-0000-4000-8000-00000000000C",
                     "Front 12",
                     "ETC",
                     "Source Four 26deg",
                     std::int32_t{613},
                     std::int32_t{613},
                     std::int32_t{100},
                     "R02"};
    for (int text = 1; text <= 10; ++text)
        values.push_back("Text " + std::to_string(text) + " of a channel whose notes run long");
    values.push_back(std::int32_t{1});
    values.push_back(std::int32_t{613});
    return values;
}

// `values` under `address`/list/<index>/<count>, cut before each of `cuts`.
std::vector<OSCMessage> listed(const std::string& address, const OSCValues& values,
                               std::vector<std::size_t> cuts) {
    cuts.push_back(values.size());
    std::vector<OSCMessage> parts;
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
        parts.emplace_back(OSCAddressPattern(address + "/list/" + std::to_string(from) + "/" +
                                             std::to_string(values.size())),
                           OSCValues(values.begin() + from, values.begin() + cut));
        from = cut;
    }
    return parts;
}

std::vector<OSCMessage> operator+(std::vector<OSCMessage> a, const std::vector<OSCMessage>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const OSCMessage notes("/eos/out/get/patch/12/1/notes", {0, "0000000C-0000-4000-8000-00000000000C", "Notes"});
const OSCMessage position("/eos/out/get/patch/12/1/augment3d/position",
                          {0, "0000000C-0000-4000-8000-00000000000C", 1.5f, -6.0f, 8.0f, 45.0f, 0.0f, 0.0f,
                           0});
const OSCMessage beam("/eos/out/get/patch/12/1/augment3d/beam",
                      {0, "0000000C-0000-4000-8000-00000000000C", 26.0f});

// What the link's readers make of the messages, in order, as one line.
std::string readBack(const std::vector<OSCMessage>& packets) {
    EosListAssembler lists;
    std::vector<EosConsoleFields> published;
    EosConsoleFeedback feedback(
        [&](const EosConsoleFields&, const EosConsoleFields& after) { published.push_back(after); },
        std::chrono::milliseconds(0));
    std::string read;
    // A line of the desk's own after them all, so there is always an update to wait for.
    std::vector<OSCMessage> all = packets;
    all.push_back(OSCMessage("/eos/out/cmd", {"LIVE: "}));
    for (const OSCMessage& packet : all) {
        const auto message = lists.take(packet);
        if (!message)
            continue;
        if (const auto count = patchCountReply(*message))
            read += "count " + std::to_string(*count) + "; ";
        if (const auto entry = patchReplyEntry(*message)) {
            const EosPatchPart& part = entry->part;
            read += "patch " + std::to_string(entry->index) + ":" + std::to_string(part.channel) + "/" +
                    std::to_string(part.part) + " '" + part.label.toStdString() + "' @" +
                    std::to_string(part.intensityAddress) + (part.intensityIsFine() ? "+" : "") + "; ";
        }
        if (const auto at = patchPositionReply(*message))
            read += "at " + QString::number(at->position.x).toStdString() + "," +
                    QString::number(at->position.y).toStdString() + "; ";
        feedback.take(*message);
    }
    if (waitFor([&] { return !published.empty(); })) {
        const EosConsoleFields& fields = published.back();
        if (!fields.version.isEmpty())
            read += "version " + fields.version.toStdString() + "; ";
        QStringList ranges;
        const ConsoleChannelSet channels = ConsoleChannelSet::fromActiveChannels(fields.activeChannels);
        for (const auto& range : channels.ranges())
            ranges.append(range.first == range.last
                              ? formatDecimal(range.first)
                              : formatDecimal(range.first) + QLatin1Char('-') + formatDecimal(range.last));
        if (!ranges.isEmpty())
            read += "channels " + ranges.join(QStringLiteral(", ")).toStdString() + "; ";
    }
    return read;
}

TEST(DeskReplies, AreReadInEveryDocumentedShape) {
    const std::string entry = "/eos/out/get/patch/12/1";
    OSCValues loose = patchValues("4"); // the index as text, a label as a number, one value more
    loose[2] = std::int32_t{12};
    loose.push_back("a value of a newer desk");
    OSCValues otherEntry = patchValues(std::int32_t{5});
    OSCValues fine = patchValues(std::int32_t{6}); // a two-address dimmer: 16-bit intensity
    fine.back() = std::int32_t{614};
    OSCValues hostile = patchValues(std::int32_t{8});
    hostile[6] = std::int32_t{-5};
    hostile[2] = std::string(5000, 'x');
    const struct {
        const char* shape;
        std::vector<OSCMessage> packets;
        std::string read;
    } table[] = {
        {"channels and the first one's level",
         {OSCMessage("/eos/out/active/chan", {"1-2 [100]"})},
         "channels 1-2; "},
        {"one channel with its label, type and address",
         {OSCMessage("/eos/out/active/chan", {"1 [100] Front 12 Source Four @ 2/101"})},
         "channels 1; "},
        {"decimal channels, a list, and a label",
         {OSCMessage("/eos/out/active/chan", {"11.2, 14-15 [75] Cyc 3 @ 4/1"})},
         "channels 11.2, 14-15; "},
        {"nothing selected", {OSCMessage("/eos/out/active/chan", {""})}, ""},
        {"an older desk's version alone",
         {OSCMessage("/eos/out/get/version", {"3.0.1.12"})},
         "version 3.0.1.12; "},
        {"a newer desk's version, library version and flag, as a list",
         {OSCMessage("/eos/out/get/version/list/0/3", {"3.2.8.26", "3.2.8.3 Fixture Library", 1})},
         "version 3.2.8.26; "},
        {"a patch entry whole in one packet, then its notes and Augment3d",
         listed(entry, patchValues(std::int32_t{3}), {}) + std::vector{notes, position, beam},
         "patch 3:12/1 'Front 12' @613; at 1.5,-6; "},
        {"a patch entry in three packets with notes and Augment3d between them",
         std::vector{listed(entry, patchValues(std::int32_t{3}), {8, 16})[0], notes,
                     listed(entry, patchValues(std::int32_t{3}), {8, 16})[1], position,
                     listed(entry, patchValues(std::int32_t{3}), {8, 16})[2], beam},
         "at 1.5,-6; patch 3:12/1 'Front 12' @613; "},
        {"two entries split across each other",
         std::vector{listed(entry, patchValues(std::int32_t{3}), {10})[0],
                     listed("/eos/out/get/patch/13/1", otherEntry, {10})[0],
                     listed(entry, patchValues(std::int32_t{3}), {10})[1],
                     listed("/eos/out/get/patch/13/1", otherEntry, {10})[1]},
         "patch 3:12/1 'Front 12' @613; patch 5:13/1 'Front 12' @613; "},
        {"numbers as text and text as numbers, and a value more",
         listed("/eos/out/get/patch/7/1", loose, {11}), "patch 4:7/1 '' @613; "},
        {"a two-address fixture's intensity is 16-bit",
         listed("/eos/out/get/patch/14/2", fine, {}), "patch 6:14/2 'Front 12' @613+; "},
        {"an address out of range is none, a label cut to a line",
         listed("/eos/out/get/patch/15/1", hostile, {}),
         "patch 8:15/1 '" + std::string(256, 'x') + "' @0; "},
        {"channels and parts outside the desk's numbers are no entries",
         listed("/eos/out/get/patch/0/1", otherEntry, {}) + listed("/eos/out/get/patch/100000", otherEntry, {}) +
             listed("/eos/out/get/patch/5/x", otherEntry, {}),
         ""},
        {"an entry without its part, its index a float",
         {OSCMessage("/eos/out/get/patch/9/list/0/3",
                     {5.0f, "0000000C-0000-4000-8000-00000000000C", "Nine"})},
         "patch 5:9/1 'Nine' @0; "},
        {"a part lost in the middle: nothing, and the next entry still whole",
         std::vector{listed(entry, patchValues(std::int32_t{3}), {8, 16})[0],
                     listed(entry, patchValues(std::int32_t{3}), {8, 16})[2]} +
             listed("/eos/out/get/patch/13/1", otherEntry, {10}),
         "patch 5:13/1 'Front 12' @613; "},
        {"notes and Augment3d alone: a position, no entry", {notes, position, beam}, "at 1.5,-6; "},
        {"counts as int and as text",
         {OSCMessage("/eos/out/get/patch/count", {37}), OSCMessage("/eos/out/get/patch/count", {"38"}),
          OSCMessage("/eos/out/get/patch/count", {2.5f})},
         "count 37; count 38; "},
    };
    for (const auto& row : table)
        EXPECT_EQ(readBack(row.packets), row.read) << row.shape;
}

} // namespace
} // namespace pexlora
