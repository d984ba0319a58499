// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "osc/OSCMessage.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

namespace pexlora {

// Joins the console's long replies, which it splits over several messages whose
// addresses end in "/list/<index>/<count>": index is the offset of the message's first
// value in the whole list, count the length of the whole list. Parts are expected in
// order; a part that does not continue its list starts it afresh (index 0) or is dropped.
class EosListAssembler {
public:
    // At most this many lists are pieced together at once; the oldest gives way.
    static constexpr std::size_t maxOpenLists = 64;
    // Longer lists are refused.
    static constexpr std::size_t maxListLength = 4096;
    // A reply is a few desk packets of at most 512 bytes: a list that grows past this is
    // dropped, and the oldest lists give way to keep all of them within `maxOpenBytes`.
    static constexpr std::size_t maxListBytes = 64 * 1024;
    static constexpr std::size_t maxOpenBytes = 1024 * 1024;

    // The whole message once `message` completes it, its address without the
    // "/list/…" ending; a message without that ending is whole as it is.
    std::optional<OSCMessage> take(const OSCMessage& message);

private:
    struct OpenList {
        std::string address;
        std::size_t count = 0;
        OSCMessage message;
        std::size_t bytes = 0;
    };
    void drop(std::deque<OpenList>::iterator list);

    std::deque<OpenList> m_open;
    std::size_t m_bytes = 0; // of all open lists
};

} // namespace pexlora
