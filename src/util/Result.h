// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cassert>
#include <utility>
#include <variant>

namespace pexlora {

// Wraps an error so that Result<T, E> can be built from either side even when
// T and E are the same type.
template <typename E> struct Failure { E error; };

template <typename E> Failure<std::decay_t<E>> fail(E&& error) {
    return {std::forward<E>(error)};
}

// The outcome of an operation that can fail: a value or a typed error.
// A stand-in for std::expected until the project moves past C++20.
template <typename T, typename E> class [[nodiscard]] Result {
public:
    Result(T value)
        : m_state(std::in_place_index<0>, std::move(value)) {}
    template <typename F>
    Result(Failure<F> failure)
        : m_state(std::in_place_index<1>, std::move(failure.error)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & {
        assert(ok());
        return std::get<0>(m_state);
    }
    const T& value() const& {
        assert(ok());
        return std::get<0>(m_state);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(m_state));
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const E& error() const {
        assert(!ok());
        return std::get<1>(m_state);
    }

private:
    std::variant<T, E> m_state;
};

// For operations that produce nothing but can fail.
struct Unit {
    friend bool operator==(Unit, Unit) = default;
};

} // namespace pexlora
