// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCMessage.h"

#include <QString>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace pexlora {

enum class EosTrafficDirection { in, out };

// One message as it crossed the link, already rendered: a desk's text is kept only
// as far as a person would read it, so a huge label costs the log a few hundred bytes.
struct EosTrafficEntry {
    std::chrono::milliseconds time{0}; // on the link's clock
    std::int64_t wallTimeMs = 0;       // since the epoch, for display
    EosTrafficDirection direction = EosTrafficDirection::out;
    QString address;
    QString arguments;
    bool ping = false; // a liveness question or its answer

    friend bool operator==(const EosTrafficEntry&, const EosTrafficEntry&) = default;
};

// The last messages to and from the console, oldest first. It exists only while
// someone looks at the traffic; the connection manager records into it then.
class EosTrafficLog {
public:
    static constexpr std::size_t defaultCapacity = 2000;
    // Longer texts are cut here and end in "…".
    static constexpr qsizetype maxTextLength = 200;
    // Beyond this many arguments a message says only how many more there were.
    static constexpr std::size_t maxArguments = 32;

    explicit EosTrafficLog(std::size_t capacity = defaultCapacity);

    void record(EosTrafficDirection direction, const OSCMessage& message, std::chrono::milliseconds time);
    void clear();

    std::size_t size() const { return m_entries.size(); }
    std::size_t capacity() const { return m_capacity; }
    // 0 is the oldest entry still kept.
    const EosTrafficEntry& at(std::size_t index) const;
    // Every message ever recorded, cleared or dropped ones included: a reader that
    // remembers this knows how many arrived since it last looked.
    std::uint64_t recorded() const { return m_recorded; }

private:
    std::size_t m_capacity;
    std::vector<EosTrafficEntry> m_entries; // a ring once full
    std::size_t m_oldest = 0;
    std::uint64_t m_recorded = 0;
};

// The text of an address or of arguments as the traffic log shows it: strings quoted,
// blobs as "<blob N bytes>", control characters escaped, each piece cut to maxTextLength.
QString trafficAddressText(std::string_view address);
QString trafficArgumentsText(std::span<const OSCValue> values);
bool isTrafficPing(std::string_view address);

} // namespace pexlora
