// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosListAssembler.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace pexlora {

namespace {

struct ListPart {
    std::string_view address; // before "/list/"
    std::size_t index = 0;
    std::size_t count = 0;
};

std::optional<std::size_t> number(std::string_view text) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<ListPart> listPart(std::string_view address) {
    const std::size_t countSlash = address.rfind('/');
    if (countSlash == std::string_view::npos || countSlash == 0)
        return std::nullopt;
    const std::size_t indexSlash = address.rfind('/', countSlash - 1);
    if (indexSlash == std::string_view::npos)
        return std::nullopt;
    constexpr std::string_view marker = "/list";
    const std::string_view head = address.substr(0, indexSlash);
    if (!head.ends_with(marker))
        return std::nullopt;
    const auto index = number(address.substr(indexSlash + 1, countSlash - indexSlash - 1));
    const auto count = number(address.substr(countSlash + 1));
    if (!index || !count)
        return std::nullopt;
    return ListPart{head.substr(0, head.size() - marker.size()), *index, *count};
}

// What a value holds in memory beyond its fixed size: texts and blobs, however nested.
std::size_t heldBytes(const OSCValue& value) {
    constexpr std::size_t fixed = 16;
    if (const auto* text = std::get_if<std::string>(&value))
        return fixed + text->size();
    if (const auto* text = std::get_if<OSCStringAltValue>(&value))
        return fixed + text->string.size();
    if (const auto* character = std::get_if<Character>(&value))
        return fixed + character->text.size();
    if (const auto* blob = std::get_if<Blob>(&value))
        return fixed + blob->size();
    if (const auto* array = std::get_if<OSCArrayValue>(&value)) {
        std::size_t bytes = fixed;
        for (const OSCValue& element : array->elements)
            bytes += heldBytes(element);
        return bytes;
    }
    return fixed;
}

std::size_t heldBytes(const OSCValues& values) {
    std::size_t bytes = 0;
    for (const OSCValue& value : values)
        bytes += heldBytes(value);
    return bytes;
}

} // namespace

void EosListAssembler::drop(std::deque<OpenList>::iterator list) {
    m_bytes -= list->bytes;
    m_open.erase(list);
}

std::optional<OSCMessage> EosListAssembler::take(const OSCMessage& message) {
    const auto part = listPart(message.addressPattern.rawAddress());
    if (!part)
        return message;
    if (part->count > maxListLength || part->index + message.values.size() > part->count)
        return std::nullopt;
    auto open = std::find_if(m_open.begin(), m_open.end(),
                             [&](const OpenList& list) { return list.address == part->address; });
    const std::size_t bytes = heldBytes(message.values);
    if (part->index == 0) {
        if (open != m_open.end())
            drop(open);
        if (message.values.size() == part->count)
            return OSCMessage(OSCAddressPattern(std::string(part->address)), message.values);
        if (bytes > maxListBytes)
            return std::nullopt;
        while (!m_open.empty() && (m_open.size() == maxOpenLists || m_bytes + bytes > maxOpenBytes))
            drop(m_open.begin());
        m_open.push_back({std::string(part->address), part->count,
                          OSCMessage(OSCAddressPattern(std::string(part->address)), message.values), bytes});
        m_bytes += bytes;
        return std::nullopt;
    }
    if (open == m_open.end() || open->count != part->count || open->message.values.size() != part->index)
        return std::nullopt;
    if (open->bytes + bytes > maxListBytes) {
        drop(open);
        return std::nullopt;
    }
    for (const OSCValue& value : message.values)
        open->message.values.push_back(value);
    open->bytes += bytes;
    m_bytes += bytes;
    if (open->message.values.size() < open->count) {
        while (m_bytes > maxOpenBytes && m_open.begin() != open)
            drop(m_open.begin());
        return std::nullopt;
    }
    OSCMessage whole = std::move(open->message);
    drop(open);
    return whole;
}

} // namespace pexlora
