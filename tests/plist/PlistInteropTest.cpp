// SPDX-License-Identifier: GPL-3.0-or-later
// Interop with two independent implementations: Python's standard plistlib and
// libplist's plistutil. None of our code runs on the other side.
#include "PlistTestSupport.h"
#include "plist/BinaryPlistWriter.h"
#include "plist/PropertyList.h"

#include <QDir>
#include <QTemporaryDir>
#include <limits>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;
using test::dictionary;
using test::python;

// The same value on both sides: `sample` in Python and sampleValue() here.
constexpr const char* pythonSample = R"(
import datetime, plistlib, sys
sample = {
    "ascii": "hello",
    "unicode": "Gr\u00fc\u00dfe \u2713 \U0001F39B",
    "empty": "",
    "long": "x" * 300,
    "ints": [0, 1, 255, 256, 65535, 65536, 2**32 - 1, 2**32, 2**63 - 1, -1, -2**63, 2**64 - 1],
    "reals": [0.5, -1e300, 1e-300, 123456.789],
    "flags": [True, False, 1, 0],
    "data": [b"", b"\x00\x01\xff", bytes(range(256)) * 2],
    "date": datetime.datetime(2024, 5, 17, 12, 30, 45),
    "nested": {"a": [{"b": []}, {}], "c": [[["deep"]]]},
    "many": list(range(20)),
    "repeat": ["same", "same", "same"],
}
)";

PlistValue sampleValue() {
    PlistArray many;
    for (int i = 0; i < 20; ++i)
        many.push_back(i);
    QByteArray all;
    for (int i = 0; i < 512; ++i)
        all.append(char(i % 256));
    return dictionary({
        {u"ascii"_s, u"hello"_s},
        {u"unicode"_s, QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                                         "e \xE2\x9C\x93 \xF0\x9F\x8E\x9B")},
        {u"empty"_s, QString()},
        {u"long"_s, QString(300, u'x')},
        {u"ints"_s,
         PlistArray{0, 1, 255, 256, 65535, 65536, std::int64_t(4294967295), std::int64_t(4294967296),
                    std::numeric_limits<std::int64_t>::max(), -1, std::numeric_limits<std::int64_t>::min(),
                    std::numeric_limits<std::uint64_t>::max()}},
        {u"reals"_s, PlistArray{0.5, -1e300, 1e-300, 123456.789}},
        {u"flags"_s, PlistArray{true, false, 1, 0}},
        {u"data"_s, PlistArray{QByteArray(), QByteArray("\x00\x01\xFF", 3), all}},
        // 2024-05-17 12:30:45 UTC.
        {u"date"_s, PlistDate{737641845.0}},
        {u"nested"_s,
         dictionary({{u"a"_s, PlistArray{dictionary({{u"b"_s, PlistArray{}}}), PlistDictionary{}}},
                     {u"c"_s, PlistArray{PlistArray{PlistArray{u"deep"_s}}}}})},
        {u"many"_s, many},
        {u"repeat"_s, PlistArray{u"same"_s, u"same"_s, u"same"_s}},
    });
}

QByteArray pythonWrites(const char* format) {
    const std::string script = std::string(pythonSample) +
                               "sys.stdout.buffer.write(plistlib.dumps(sample, fmt=plistlib." + format +
                               ", sort_keys=False))\n";
    return python(script.c_str());
}

// Python reads `bytes` and compares them with its own sample.
void expectPythonReadsSample(const QByteArray& bytes) {
    const std::string script = std::string(pythonSample) + R"(
got = plistlib.loads(sys.stdin.buffer.read())
for key in sample:
    if got.get(key) != sample[key]:
        print("differs:", key, repr(got.get(key))[:200])
print("equal" if got == sample else "different")
)";
    EXPECT_EQ(python(script.c_str(), bytes).trimmed(), QByteArray("equal"));
}

QByteArray plistutil(const QByteArray& input, const char* format) {
    QTemporaryDir dir;
    const QString in = dir.filePath(u"in.plist"_s);
    const QString out = dir.filePath(u"out.plist"_s);
    QFile file(in);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(input);
    file.close();
    const auto result = test::runProcess(QString::fromUtf8(PEXLORA_PLISTUTIL),
                                         {u"-i"_s, in, u"-o"_s, out, u"-f"_s, QString::fromLatin1(format)});
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    QFile converted(out);
    EXPECT_TRUE(converted.open(QIODevice::ReadOnly));
    return converted.readAll();
}

TEST(PlistInterop, ReadsBinaryWrittenByPlistlib) {
    const auto result = readPropertyList(pythonWrites("FMT_BINARY"));
    ASSERT_TRUE(result.ok()) << test::errorText(result.error());
    EXPECT_EQ(result.value(), sampleValue());
}

TEST(PlistInterop, ReadsXmlWrittenByPlistlib) {
    const auto result = readPropertyList(pythonWrites("FMT_XML"));
    ASSERT_TRUE(result.ok()) << test::errorText(result.error());
    EXPECT_EQ(result.value(), sampleValue());
}

TEST(PlistInterop, PlistlibReadsWhatWeWrite) {
    expectPythonReadsSample(writeBinaryPropertyList(sampleValue()));
}

TEST(PlistInterop, WriterMatchesPlistlibByteForByte) {
    // Both write containers before their contents, keys before values, and
    // share equal scalars, so a file of fewer than 256 objects comes out the same.
    const PlistValue value = dictionary({
        {u"name"_s, u"layout"_s},
        {u"cells"_s, PlistArray{dictionary({{u"col"_s, 1}, {u"row"_s, 2}}),
                                dictionary({{u"col"_s, 1}, {u"row"_s, 300}})}},
        {u"zoom"_s, 1.5},
        {u"label"_s, QString::fromUtf8("\xC3\xA9t\xC3\xA9")},
        {u"flag"_s, true},
    });
    const QByteArray expected = python(R"(
import plistlib, sys
value = {"name": "layout", "cells": [{"col": 1, "row": 2}, {"col": 1, "row": 300}], "zoom": 1.5,
         "label": "\u00e9t\u00e9", "flag": True}
sys.stdout.buffer.write(plistlib.dumps(value, fmt=plistlib.FMT_BINARY, sort_keys=False))
)");
    EXPECT_EQ(writeBinaryPropertyList(value).toHex(' '), expected.toHex(' '));
}

TEST(PlistInterop, PlistutilConvertsWhatWeWriteToEqualXml) {
    const QByteArray xml = plistutil(writeBinaryPropertyList(sampleValue()), "xml");
    ASSERT_TRUE(xml.contains("<plist"));
    expectPythonReadsSample(xml);
}

TEST(PlistInterop, ReadsBinaryWrittenByPlistutil) {
    const QByteArray binary = plistutil(pythonWrites("FMT_XML"), "bin");
    ASSERT_TRUE(binary.startsWith("bplist00"));
    const auto result = readPropertyList(binary);
    ASSERT_TRUE(result.ok()) << test::errorText(result.error());
    EXPECT_EQ(result.value(), sampleValue());
}

TEST(PlistInterop, ReadsXmlWrittenByPlistutil) {
    const auto result = readPropertyList(plistutil(writeBinaryPropertyList(sampleValue()), "xml"));
    ASSERT_TRUE(result.ok()) << test::errorText(result.error());
    EXPECT_EQ(result.value(), sampleValue());
}

} // namespace
} // namespace pexlora
