// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <concepts>
#include <cstdint>
#include <variant>
#include <vector>

namespace pexlora {

class PlistValue;

// A point in time as property lists store it: seconds since 2001-01-01 00:00:00 UTC.
struct PlistDate {
    double secondsSinceReferenceDate = 0.0;

    friend bool operator==(const PlistDate&, const PlistDate&) = default;
};

using PlistArray = std::vector<PlistValue>;

// Keys in the order they were inserted, because that is the order a writer
// should reproduce; lookups go by key. Equality ignores the order, as property
// lists do.
class PlistDictionary {
public:
    PlistDictionary();
    ~PlistDictionary();
    PlistDictionary(const PlistDictionary&);
    PlistDictionary(PlistDictionary&&) noexcept;
    PlistDictionary& operator=(const PlistDictionary&);
    PlistDictionary& operator=(PlistDictionary&&) noexcept;

    // A key that is already there keeps its place and takes the new value.
    void insert(const QString& key, PlistValue value);
    const PlistValue* find(QStringView key) const;
    bool contains(QStringView key) const { return find(key) != nullptr; }

    qsizetype size() const;
    bool isEmpty() const;
    void reserve(qsizetype count);
    const QString& keyAt(qsizetype i) const;
    const PlistValue& valueAt(qsizetype i) const;

    friend bool operator==(const PlistDictionary& a, const PlistDictionary& b);

private:
    qsizetype indexOf(QStringView key) const;

    struct Entry;
    // One allocation per dictionary: a document has tens of thousands of small ones.
    std::vector<Entry> m_entries;
    // Built only once a dictionary grows past a handful of keys, so the many small
    // dictionaries of a document cost no hash table while a hostile one with a
    // million keys stays linear.
    QHash<QString, qsizetype> m_index;
};

// One node of a property list. Integers keep the full range of both signed and
// unsigned 64-bit values; a non-negative value always lives in the signed
// alternative so that equal numbers compare equal.
class PlistValue {
public:
    using Storage = std::variant<bool, std::int64_t, std::uint64_t, double, PlistDate, QString, QByteArray,
                                 PlistArray, PlistDictionary>;

    PlistValue() = default;
    PlistValue(bool value)
        : m_storage(value) {}
    template <std::signed_integral I>
    PlistValue(I value)
        : m_storage(std::int64_t(value)) {}
    template <std::unsigned_integral I>
    requires(!std::same_as<I, bool>) PlistValue(I value) {
        if (std::uint64_t(value) <= std::uint64_t(INT64_MAX))
            m_storage = std::int64_t(value);
        else
            m_storage = std::uint64_t(value);
    }
    PlistValue(double value)
        : m_storage(value) {}
    PlistValue(PlistDate value)
        : m_storage(value) {}
    PlistValue(QString value)
        : m_storage(std::move(value)) {}
    PlistValue(QByteArray value)
        : m_storage(std::move(value)) {}
    PlistValue(PlistArray value)
        : m_storage(std::move(value)) {}
    PlistValue(PlistDictionary value)
        : m_storage(std::move(value)) {}
    // A C string would otherwise silently become a Boolean.
    PlistValue(const char*) = delete;

    const Storage& storage() const { return m_storage; }
    template <typename T> const T* get() const { return std::get_if<T>(&m_storage); }
    template <typename T> T* get() { return std::get_if<T>(&m_storage); }
    template <typename T> bool is() const { return std::holds_alternative<T>(m_storage); }

    // The property-list name of the kind of value ("integer", "string", …) for messages.
    QString typeName() const;

    friend bool operator==(const PlistValue&, const PlistValue&) = default;

private:
    Storage m_storage;
};

struct PlistDictionary::Entry {
    QString key;
    PlistValue value;
};

inline qsizetype PlistDictionary::size() const {
    return qsizetype(m_entries.size());
}
inline bool PlistDictionary::isEmpty() const {
    return m_entries.empty();
}
inline const QString& PlistDictionary::keyAt(qsizetype i) const {
    return m_entries[std::size_t(i)].key;
}
inline const PlistValue& PlistDictionary::valueAt(qsizetype i) const {
    return m_entries[std::size_t(i)].value;
}

} // namespace pexlora
