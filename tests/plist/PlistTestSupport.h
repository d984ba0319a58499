// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plist/PlistError.h"
#include "plist/PlistValue.h"
#include "support/TestProcess.h"
#include "util/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

namespace pexlora {

// So that a failed comparison shows the kind of value instead of raw bytes.
inline void PrintTo(const PlistValue& value, std::ostream* out) {
    *out << value.typeName().toStdString();
}

} // namespace pexlora

namespace pexlora::test {

using namespace Qt::StringLiterals;

inline PlistDictionary dictionary(std::initializer_list<std::pair<QString, PlistValue>> entries) {
    PlistDictionary result;
    for (const auto& [key, value] : entries)
        result.insert(key, value);
    return result;
}

inline QByteArray bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (const int v : values)
        result.append(char(v));
    return result;
}

inline std::string errorText(const PlistError& error) {
    return error.message.toStdString();
}

// Lays hand-made objects out as a file, so that tests can build what no writer
// would: cycles, shared containers, lying trailers.
struct RawPlist {
    std::vector<QByteArray> objects;
    int offsetWidth = 1;
    int refWidth = 1;
    std::optional<std::uint64_t> objectCount;
    std::uint64_t topObject = 0;
    std::optional<std::uint64_t> tableStart;
    std::vector<std::optional<std::uint64_t>> offsetOverrides;

    static void appendBigEndian(QByteArray& out, std::uint64_t value, int width) {
        for (int i = width - 1; i >= 0; --i)
            out.append(char((value >> (8 * i)) & 0xFF));
    }

    QByteArray ref(std::uint64_t index) const {
        QByteArray out;
        appendBigEndian(out, index, refWidth);
        return out;
    }

    QByteArray bytes() const {
        QByteArray out("bplist00");
        std::vector<std::uint64_t> offsets;
        for (const QByteArray& object : objects) {
            offsets.push_back(std::uint64_t(out.size()));
            out.append(object);
        }
        for (std::size_t i = 0; i < offsetOverrides.size() && i < offsets.size(); ++i) {
            if (offsetOverrides[i])
                offsets[i] = *offsetOverrides[i];
        }
        const auto start = std::uint64_t(out.size());
        for (const std::uint64_t offset : offsets)
            appendBigEndian(out, offset, offsetWidth);
        out.append(QByteArray(6, '\0'));
        out.append(char(offsetWidth));
        out.append(char(refWidth));
        appendBigEndian(out, objectCount.value_or(objects.size()), 8);
        appendBigEndian(out, topObject, 8);
        appendBigEndian(out, tableStart.value_or(start), 8);
        return out;
    }
};

// The error of a result that is expected to have failed, or nothing when it did not.
template <typename T> std::optional<PlistError> errorOf(const Result<T, PlistError>& result) {
    if (result.ok())
        return std::nullopt;
    return result.error();
}

} // namespace pexlora::test
