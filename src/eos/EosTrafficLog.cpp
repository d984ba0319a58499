// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosTrafficLog.h"

#include <QDateTime>
#include <algorithm>
#include <cassert>
#include <string>
#include <variant>

namespace pexlora {

namespace {

constexpr std::size_t textLimit = static_cast<std::size_t>(EosTrafficLog::maxTextLength);
const std::string ellipsis = "\u2026";

bool continuesCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Appends `text` with quotes, backslashes and control characters escaped, until `out`
// reaches `end` bytes; cut between characters, never inside one. False when cut.
bool appendEscapedText(std::string& out, std::string_view text, std::size_t end) {
    for (const char c : text) {
        if (out.size() >= end && !continuesCharacter(c)) {
            out += ellipsis;
            return false;
        }
        appendEscaped(out, c);
    }
    return true;
}

bool appendQuoted(std::string& out, std::string_view text, std::size_t end) {
    out += '"';
    if (!appendEscapedText(out, text, end))
        return false;
    out += '"';
    return true;
}

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

// False when the text was cut: then nothing more is added, brackets included.
bool appendValue(std::string& out, const OSCValue& value, std::size_t end) {
    return std::visit(Overloaded{
                          [&](const std::string& v) { return appendQuoted(out, v, end); },
                          [&](const Character& v) { return appendQuoted(out, v.text, end); },
                          [&](const OSCStringAltValue& v) { return appendQuoted(out, v.string, end); },
                          [&](const Blob& v) {
                              out += "<blob " + std::to_string(v.size()) + " bytes>";
                              return true;
                          },
                          [&](const OSCArrayValue& v) {
                              out += '[';
                              for (std::size_t i = 0; i < v.elements.size(); ++i) {
                                  if (out.size() >= end) {
                                      out += ellipsis;
                                      return false;
                                  }
                                  if (i > 0)
                                      out += ", ";
                                  if (!appendValue(out, v.elements[i], end))
                                      return false;
                              }
                              out += ']';
                              return true;
                          },
                          // Numbers, flags, MIDI and time tags have short descriptions of their own.
                          [&](const auto&) {
                              out += description(value);
                              return true;
                          },
                      },
                      value.variant());
}

} // namespace

bool isTrafficPing(std::string_view address) {
    return address == "/eos/ping" || address == "/eos/out/ping";
}

QString trafficAddressText(std::string_view address) {
    std::string out;
    appendEscapedText(out, address, textLimit);
    return QString::fromUtf8(out);
}

QString trafficArgumentsText(std::span<const OSCValue> values) {
    std::string out;
    const std::size_t shown = std::min(values.size(), EosTrafficLog::maxArguments);
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0)
            out += ", ";
        appendValue(out, values[i], out.size() + textLimit);
    }
    if (shown < values.size())
        out += ", " + ellipsis + " (" + std::to_string(values.size() - shown) + " more)";
    return QString::fromUtf8(out);
}

EosTrafficLog::EosTrafficLog(std::size_t capacity)
    : m_capacity(std::max<std::size_t>(capacity, 1)) {
    m_entries.reserve(m_capacity);
}

void EosTrafficLog::record(EosTrafficDirection direction, const OSCMessage& message,
                           std::chrono::milliseconds time) {
    const std::string_view address = message.addressPattern.rawAddress();
    EosTrafficEntry entry{time,
                          QDateTime::currentMSecsSinceEpoch(),
                          direction,
                          trafficAddressText(address),
                          trafficArgumentsText(message.values),
                          isTrafficPing(address)};
    ++m_recorded;
    if (m_entries.size() < m_capacity) {
        m_entries.push_back(std::move(entry));
        return;
    }
    m_entries[m_oldest] = std::move(entry);
    m_oldest = (m_oldest + 1) % m_capacity;
}

void EosTrafficLog::clear() {
    m_entries.clear();
    m_oldest = 0;
}

const EosTrafficEntry& EosTrafficLog::at(std::size_t index) const {
    assert(index < m_entries.size());
    return m_entries[(m_oldest + index) % m_entries.size()];
}

} // namespace pexlora
