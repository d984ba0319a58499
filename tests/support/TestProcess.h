// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace pexlora::test {

struct ProcessOutput {
    int exitCode = -1; // -1 also when the program could not start or crashed
    QByteArray out;
    QByteArray err;
};

// Runs an independent peer (plistlib, plistutil, liblo's tools) to completion
// with `input` on its standard input.
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
    const ProcessOutput result = runProcess(QString::fromUtf8(PEXLORA_PYTHON3),
                                            {QStringLiteral("-c"), QString::fromUtf8(script)}, input);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    return result.out;
}

} // namespace pexlora::test
