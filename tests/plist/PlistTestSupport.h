#pragma once

#include "plist/PlistError.h"
#include "plist/PlistValue.h"
#include "util/Result.h"

#include <QByteArray>
#include <QProcess>
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

struct ProcessOutput {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline ProcessOutput runProcess(const QString& program, const QStringList& arguments,
                                const QByteArray& input = {}) {
    QProcess process;
    process.start(program, arguments);
    ProcessOutput result;
    if (!process.waitForStarted(10000))
        return result;
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

// Runs a Python snippet with `input` on its standard input and returns what it
// wrote to standard output; a failing script fails the calling test.
inline QByteArray python(const char* script, const QByteArray& input = {}) {
    const ProcessOutput result =
        runProcess(QString::fromUtf8(PEXLORA_PYTHON3), {u"-c"_s, QString::fromUtf8(script)}, input);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    return result.out;
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
