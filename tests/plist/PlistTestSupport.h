#pragma once

#include "plist/PlistError.h"
#include "plist/PlistValue.h"
#include "support/TestProcess.h"
#include "util/Result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <utility>

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

// The error of a result that is expected to have failed, or nothing when it did not.
template <typename T> std::optional<PlistError> errorOf(const Result<T, PlistError>& result) {
    if (result.ok())
        return std::nullopt;
    return result.error();
}

} // namespace pexlora::test
