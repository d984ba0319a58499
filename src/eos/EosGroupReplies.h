// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCMessage.h"

#include <QString>
#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

namespace pexlora {

// What the desk says of its groups, read from whole messages (split lists joined).
// Every reply is untrusted: numbers that are not numbers are refused, and lists are
// cut at the bounds below rather than grown without end.
namespace EosGroupReply {

// More groups than a show could hold are not asked for.
constexpr int maxGroups = 10000;
// Channels kept per group; "1-99999" alone would otherwise be 99,999 numbers.
constexpr std::size_t maxChannels = 20000;
// Group numbers a notification may name; more counts as "re-read everything".
constexpr std::size_t maxNamed = 500;

// "/eos/out/get/group/count": how many groups the show has.
struct Count {
    int count = 0;
};
// "/eos/out/get/group/<n>": index (or not a valid index, for a question by number), UID, label.
struct Header {
    QString number;
    std::optional<int> index;
    QString uid;
    QString label;
};
// "/eos/out/get/group/<n>/channels": index, UID, then channels as numbers and "X-Y" ranges.
struct Channels {
    QString number;
    std::optional<int> index;
    std::vector<int> channels;
    bool cut = false; // more than maxChannels were named
};
// "/eos/out/notify/group": a sequence number, then the group numbers that changed.
struct Changed {
    std::vector<QString> numbers;
    bool all = false; // too many to name: read them all again
};
// A show was loaded or cleared: every group may have changed.
struct ShowChanged {};

using Any = std::variant<Count, Header, Channels, Changed, ShowChanged>;

// Nothing for a message that is not about groups, or that cannot be read.
std::optional<Any> read(const OSCMessage& message);

// A group number in one spelling for every way it may be written: "12", "12.0" and
// "012" are all "12", "1.20" is "1.2". Nothing for a text that is not a group number.
std::optional<QString> canonicalNumber(const QString& text);

// Channels named by values such as 1, "2-4", 5.0, "7,9-10": in the order given, ranges
// in their own direction, at most `limit`; `cut` is set when more were named.
std::vector<int> channelNumbers(std::span<const OSCValue> values, std::size_t limit, bool* cut = nullptr);

} // namespace EosGroupReply

} // namespace pexlora
