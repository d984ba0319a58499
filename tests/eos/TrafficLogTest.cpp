// SPDX-License-Identifier: GPL-3.0-or-later
// The record of the console's traffic: what it keeps, and how a desk's values are
// turned into text that stays short and shows every character as what it is.
#include "eos/EosTrafficLog.h"

#include <gtest/gtest.h>
#include <string>

namespace pexlora {
namespace {

using namespace std::chrono_literals;

TEST(TrafficLog, ArgumentsAreQuotedEscapedAndCut) {
    const std::string huge(60 * 1024, 'x');
    std::string accents;
    for (int i = 0; i < 150; ++i)
        accents += "\u00e9"; // two bytes each: a cut could land inside one
    OSCArrayValue nested{{1, "a", OSCArrayValue{{2.5f}}}};
    OSCValues many;
    for (int i = 0; i < 40; ++i)
        many.push_back(i);
    const std::string fortyArguments = [] {
        std::string text;
        for (int i = 0; i < 32; ++i)
            text += (i > 0 ? ", " : "") + std::to_string(i);
        return text + ", \u2026 (8 more)";
    }();

    const struct {
        const char* name;
        OSCValues values;
        std::string expected; // UTF-8
    } cases[] = {
        {"none", {}, ""},
        {"numbers", {42, 2.5f, std::int64_t{-7}, 1.0}, "42, 2.5, -7, 1.0"},
        {"text", {"Chan 1 @ Full"}, R"("Chan 1 @ Full")"},
        {"markup", {"<img src=x><b>bold</b>"}, R"("<img src=x><b>bold</b>")"},
        {"controls", {std::string("a\x01\x1b[31m\tb\r\n\x7f", 12)}, R"("a\x01\x1B[31m\tb\r\n\x7F")"},
        {"quotes", {R"(say "hi" \)"}, R"("say \"hi\" \\")"},
        {"blob",
         {Blob{1, 2, 3}, Blob(std::size_t{4096}, std::uint8_t{0})},
         "<blob 3 bytes>, <blob 4096 bytes>"},
        {"array", {nested}, R"([1, "a", [2.5]])"},
        {"flags", {true, OSCNullValue{}, OSCImpulseValue{}}, "true, Null, Impulse"},
        {"many", many, fortyArguments},
        {"huge", {huge}, "\"" + std::string(199, 'x') + "\u2026"}, // the quote counts
        {"accents", {accents}, "\"" + accents.substr(0, 200) + "\u2026"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(trafficArgumentsText(c.values).toStdString(), c.expected) << c.name;
}

TEST(TrafficLog, AHostileMessageCostsTheLogAFewHundredCharacters) {
    const std::string huge(60 * 1024, '<');
    OSCArrayValue deep{{huge, huge, huge}};
    for (int level = 0; level < 50; ++level)
        deep = OSCArrayValue{{deep}};
    EosTrafficLog log;
    log.record(EosTrafficDirection::in, OSCMessage("/eos/out/" + huge, {huge, huge, deep}), 1ms);
    const EosTrafficEntry& entry = log.at(0);
    EXPECT_LE(entry.address.size(), EosTrafficLog::maxTextLength + 1);
    EXPECT_LE(entry.arguments.size(), 3 * (EosTrafficLog::maxTextLength + 8));
    EXPECT_TRUE(entry.address.endsWith(u'\u2026'));
}

TEST(TrafficLog, KeepsTheNewestUpToItsCapacity) {
    for (const std::size_t capacity : {std::size_t{1}, std::size_t{3}, EosTrafficLog::defaultCapacity}) {
        EosTrafficLog log(capacity);
        const std::size_t total = capacity + 5;
        for (std::size_t i = 0; i < total; ++i)
            log.record(i % 2 ? EosTrafficDirection::in : EosTrafficDirection::out,
                       OSCMessage("/m/" + std::to_string(i), {static_cast<std::int32_t>(i)}),
                       std::chrono::milliseconds(i));
        ASSERT_EQ(log.size(), capacity);
        EXPECT_EQ(log.recorded(), total);
        for (std::size_t index = 0; index < capacity; ++index) {
            const std::size_t i = total - capacity + index; // the oldest five are gone
            const EosTrafficEntry& entry = log.at(index);
            ASSERT_EQ(entry.address.toStdString(), "/m/" + std::to_string(i)) << capacity;
            EXPECT_EQ(entry.arguments.toStdString(), std::to_string(i));
            EXPECT_EQ(entry.time, std::chrono::milliseconds(i));
            EXPECT_EQ(entry.direction, i % 2 ? EosTrafficDirection::in : EosTrafficDirection::out);
        }

        log.clear();
        EXPECT_EQ(log.size(), 0u);
        EXPECT_EQ(log.recorded(), total) << "a reader still knows how far it had read";
        log.record(EosTrafficDirection::out, OSCMessage("/after", {}), 0ms);
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log.at(0).address, QStringLiteral("/after"));
    }
}

TEST(TrafficLog, PingsAndTheirAnswersAreMarked) {
    const struct {
        const char* address;
        bool ping;
    } cases[] = {
        {"/eos/ping", true},         {"/eos/out/ping", true},         {"/eos/out/ping/x", false},
        {"/eos/get/version", false}, {"/eos/out/get/version", false}, {"/eos/pin", false},
    };
    EosTrafficLog log;
    for (const auto& c : cases) {
        log.record(EosTrafficDirection::in, OSCMessage(c.address, {}), 0ms);
        EXPECT_EQ(log.at(log.size() - 1).ping, c.ping) << c.address;
    }
}

} // namespace
} // namespace pexlora
