// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <optional>
#include <vector>

namespace pexlora {

// The binary writer's object numbers of shared values, under a 64-bit key the
// writer chooses (a block's address, a seeded hash of its contents or of a
// number); the caller decides whether an entry of an equal key is the one it
// looks for. One flat array of 16-byte slots probed linearly: a large layout
// puts tens of thousands of entries here, and QHash's nodes cost most of a save.
class ObjectNumberTable {
public:
    void reserve(std::size_t count) {
        if (!fits(count, m_slots.size()))
            rehash(std::bit_ceil(std::max<std::size_t>(16, count + count / 3 + 1)));
    }

    // The number of the first entry of `key` that `matches` accepts.
    template <typename Matches>
    std::optional<std::uint64_t> find(std::uint64_t key, Matches&& matches) const {
        if (m_slots.empty())
            return std::nullopt;
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = indexOf(key);; i = (i + 1) & mask) {
            const Slot& slot = m_slots[i];
            if (slot.numberPlusOne == 0)
                return std::nullopt;
            if (slot.key == key && matches(slot.numberPlusOne - 1))
                return slot.numberPlusOne - 1;
        }
    }

    void insert(std::uint64_t key, std::uint64_t number) {
        if (!fits(m_count + 1, m_slots.size()))
            rehash(std::max<std::size_t>(16, 2 * m_slots.size()));
        place({key, number + 1});
        ++m_count;
    }

private:
    struct Slot {
        std::uint64_t key = 0;
        std::uint64_t numberPlusOne = 0; // 0: empty
    };

    // At most three quarters full, so that a probe soon meets an empty slot.
    static bool fits(std::size_t count, std::size_t capacity) { return 4 * count <= 3 * capacity; }

    // Fibonacci hashing: addresses differ only in their middle bits, and the
    // product's top bits mix all of them.
    std::size_t indexOf(std::uint64_t key) const {
        return std::size_t((key * 0x9E3779B97F4A7C15ull) >> m_shift);
    }

    void place(const Slot& slot) {
        const std::size_t mask = m_slots.size() - 1;
        std::size_t i = indexOf(slot.key);
        while (m_slots[i].numberPlusOne != 0)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }

    void rehash(std::size_t capacity) {
        std::vector<Slot> old(capacity);
        old.swap(m_slots);
        m_shift = 64 - std::countr_zero(capacity);
        for (const Slot& slot : old) {
            if (slot.numberPlusOne != 0)
                place(slot);
        }
    }

    std::vector<Slot> m_slots;
    std::size_t m_count = 0;
    int m_shift = 64;
};

} // namespace pexlora
