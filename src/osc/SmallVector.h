// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace pexlora {

// A vector that keeps its first N elements inside itself. A typical message has a short
// address, a few values and a few dozen bytes; holding them inline spares the allocator
// calls that otherwise cost more than encoding or decoding the message does.
template <typename T, std::size_t N> class SmallVector {
    static_assert(N > 0, "the inline capacity is what this vector is for");

public:
    using value_type = T;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using reference = T&;
    using const_reference = const T&;
    using pointer = T*;
    using const_pointer = const T*;
    using iterator = T*;
    using const_iterator = const T*;

    SmallVector() noexcept
        : m_data(inlineData()) {}
    SmallVector(std::size_t count, const T& value)
        : SmallVector() {
        reserve(count);
        std::uninitialized_fill_n(m_data, count, value);
        m_size = static_cast<std::uint32_t>(count);
    }
    SmallVector(std::initializer_list<T> items)
        : SmallVector(items.begin(), items.end()) {}
    template <typename It, typename = decltype(*std::declval<It>())>
    SmallVector(It first, It last)
        : SmallVector() {
        assign(first, last);
    }
    SmallVector(const SmallVector& other)
        : SmallVector(other.begin(), other.end()) {}
    SmallVector(SmallVector&& other) noexcept
        : SmallVector() {
        take(other);
    }
    ~SmallVector() {
        clear();
        release();
    }

    SmallVector& operator=(const SmallVector& other) {
        if (this != &other)
            assign(other.begin(), other.end());
        return *this;
    }
    SmallVector& operator=(SmallVector&& other) noexcept {
        if (this != &other) {
            clear();
            release();
            take(other);
        }
        return *this;
    }

    iterator begin() noexcept { return m_data; }
    iterator end() noexcept { return m_data + m_size; }
    const_iterator begin() const noexcept { return m_data; }
    const_iterator end() const noexcept { return m_data + m_size; }
    const_iterator cbegin() const noexcept { return begin(); }
    const_iterator cend() const noexcept { return end(); }

    std::size_t size() const noexcept { return m_size; }
    bool empty() const noexcept { return m_size == 0; }
    std::size_t capacity() const noexcept { return m_capacity; }
    T* data() noexcept { return m_data; }
    const T* data() const noexcept { return m_data; }

    T& operator[](std::size_t i) { return m_data[i]; }
    const T& operator[](std::size_t i) const { return m_data[i]; }
    T& front() { return m_data[0]; }
    const T& front() const { return m_data[0]; }
    T& back() { return m_data[m_size - 1]; }
    const T& back() const { return m_data[m_size - 1]; }

    void reserve(std::size_t wanted) {
        if (wanted > m_capacity)
            grow(wanted);
    }

    template <typename It, typename = decltype(*std::declval<It>())> void assign(It first, It last) {
        clear();
        const auto count = static_cast<std::size_t>(std::distance(first, last));
        reserve(count);
        if constexpr (std::is_trivially_copyable_v<T> && std::is_pointer_v<It>)
            copyBytes(m_data, std::to_address(first), count * sizeof(T));
        else
            std::uninitialized_copy(first, last, m_data);
        m_size = static_cast<std::uint32_t>(count);
    }

    void push_back(const T& item) { emplace_back(item); }
    void push_back(T&& item) { emplace_back(std::move(item)); }

    template <typename... Args> T& emplace_back(Args&&... args) {
        if (m_size == m_capacity) {
            // The arguments may refer to an element that growing moves away.
            T item(std::forward<Args>(args)...);
            grow(std::size_t{m_capacity} * 2 + 1);
            T* made = ::new (static_cast<void*>(m_data + m_size)) T(std::move(item));
            ++m_size;
            return *made;
        }
        T* made = ::new (static_cast<void*>(m_data + m_size)) T(std::forward<Args>(args)...);
        ++m_size;
        return *made;
    }

    void pop_back() {
        --m_size;
        std::destroy_at(m_data + m_size);
    }

    void clear() noexcept {
        std::destroy(m_data, m_data + m_size);
        m_size = 0;
    }

    friend bool operator==(const SmallVector& a, const SmallVector& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    T* inlineData() noexcept { return std::launder(reinterpret_cast<T*>(m_inline)); }
    bool isInline() const noexcept { return static_cast<const void*>(m_data) == m_inline; }

    // Short copies without a call to memcpy: most runs copied here are a few dozen bytes.
    static void copyBytes(void* to, const void* from, std::size_t n) {
        auto* out = static_cast<unsigned char*>(to);
        const auto* in = static_cast<const unsigned char*>(from);
        if (n > 128 || n == 0) {
            if (n > 0)
                std::memcpy(out, in, n);
        } else if (n >= 16) {
            // Whole 16-byte pieces, the last one overlapping the one before.
            for (std::size_t i = 0; i + 16 < n; i += 16)
                std::memcpy(out + i, in + i, 16);
            std::memcpy(out + n - 16, in + n - 16, 16);
        } else if (n >= 8) {
            std::memcpy(out, in, 8);
            std::memcpy(out + n - 8, in + n - 8, 8);
        } else if (n >= 4) {
            std::memcpy(out, in, 4);
            std::memcpy(out + n - 4, in + n - 4, 4);
        } else {
            for (std::size_t i = 0; i < n; ++i)
                out[i] = in[i];
        }
    }

    void grow(std::size_t wanted) {
        if (wanted > std::numeric_limits<std::uint32_t>::max())
            throw std::length_error("SmallVector is full");
        T* larger = std::allocator<T>().allocate(wanted);
        std::uninitialized_move(m_data, m_data + m_size, larger);
        std::destroy(m_data, m_data + m_size);
        release();
        m_data = larger;
        m_capacity = static_cast<std::uint32_t>(wanted);
    }

    // Gives back heap storage; the elements must already be gone.
    void release() noexcept {
        if (!isInline())
            std::allocator<T>().deallocate(m_data, m_capacity);
        m_data = inlineData();
        m_capacity = N;
    }

    // Takes other's elements, leaving it empty; this must be empty and inline.
    void take(SmallVector& other) noexcept {
        if (other.isInline()) {
            // Inline elements never exceed the buffer; saying so lets the compiler see it.
            if constexpr (std::is_trivially_copyable_v<T>)
                copyBytes(m_inline, other.m_inline, std::min(other.m_size * sizeof(T), sizeof m_inline));
            else
                std::uninitialized_move(other.begin(), other.end(), m_data);
            m_size = other.m_size;
            other.clear();
            return;
        }
        m_data = other.m_data;
        m_size = other.m_size;
        m_capacity = other.m_capacity;
        other.m_data = other.inlineData();
        other.m_size = 0;
        other.m_capacity = N;
    }

    T* m_data;
    // 32 bits each, so that a Blob of 16 inline bytes is no larger than a std::string.
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = N;
    alignas(T) unsigned char m_inline[N * sizeof(T)];
};

} // namespace pexlora
