// SPDX-License-Identifier: GPL-3.0-or-later
#include "plist/PlistValue.h"

#include "plist/PlistText.h"

namespace pexlora {

using namespace Qt::StringLiterals;

namespace {

// Below this many keys a linear scan beats hashing.
constexpr qsizetype indexThreshold = 16;

} // namespace

PlistDictionary::PlistDictionary() = default;
PlistDictionary::~PlistDictionary() = default;
PlistDictionary::PlistDictionary(const PlistDictionary&) = default;
PlistDictionary::PlistDictionary(PlistDictionary&&) noexcept = default;
PlistDictionary& PlistDictionary::operator=(const PlistDictionary&) = default;
PlistDictionary& PlistDictionary::operator=(PlistDictionary&&) noexcept = default;

void PlistDictionary::reserve(qsizetype count) {
    m_entries.reserve(std::size_t(count));
}

qsizetype PlistDictionary::indexOf(QStringView key) const {
    if (!m_index.isEmpty()) {
        const auto found = m_index.constFind(key.toString());
        return found == m_index.cend() ? -1 : *found;
    }
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].key == key)
            return qsizetype(i);
    }
    return -1;
}

void PlistDictionary::insert(const QString& key, PlistValue value) {
    if (const qsizetype existing = indexOf(key); existing >= 0) {
        m_entries[std::size_t(existing)].value = std::move(value);
        return;
    }
    m_entries.push_back({key, std::move(value)});
    const qsizetype count = size();
    if (count > indexThreshold) {
        if (m_index.isEmpty()) {
            m_index.reserve(count);
            for (qsizetype i = 0; i < count; ++i)
                m_index.insert(m_entries[std::size_t(i)].key, i);
        } else {
            m_index.insert(key, count - 1);
        }
    }
}

const PlistValue* PlistDictionary::find(QStringView key) const {
    const qsizetype i = indexOf(key);
    return i < 0 ? nullptr : &m_entries[std::size_t(i)].value;
}

bool operator==(const PlistDictionary& a, const PlistDictionary& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const PlistValue* other = b.find(a.keyAt(i));
        if (!other || !(*other == a.valueAt(i)))
            return false;
    }
    return true;
}

QString PlistValue::typeName() const {
    struct Name {
        QString operator()(bool) const { return PlistText::tr("Boolean"); }
        QString operator()(std::int64_t) const { return PlistText::tr("integer"); }
        QString operator()(std::uint64_t) const { return PlistText::tr("integer"); }
        QString operator()(double) const { return PlistText::tr("real number"); }
        QString operator()(const PlistDate&) const { return PlistText::tr("date"); }
        QString operator()(const QString&) const { return PlistText::tr("string"); }
        QString operator()(const QByteArray&) const { return PlistText::tr("data"); }
        QString operator()(const PlistArray&) const { return PlistText::tr("array"); }
        QString operator()(const PlistDictionary&) const { return PlistText::tr("dictionary"); }
    };
    return std::visit(Name{}, m_storage);
}

} // namespace pexlora
