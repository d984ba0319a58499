// SPDX-License-Identifier: GPL-3.0-or-later
#include "plist/PropertyList.h"

#include "PlistTestSupport.h"
#include "plist/BinaryPlistWriter.h"

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;

TEST(PropertyList, SniffsBinary) {
    const auto result = readPropertyList(writeBinaryPropertyList(PlistArray{1, u"a"_s}));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.value(), PlistValue(PlistArray{1, u"a"_s}));
}

TEST(PropertyList, SniffsXmlAfterByteOrderMarkAndBlankSpace) {
    const auto result =
        readPropertyList("\xEF\xBB\xBF \n<plist version=\"1.0\"><integer>7</integer></plist>");
    ASSERT_TRUE(result.ok()) << test::errorText(result.error());
    EXPECT_EQ(result.value(), PlistValue(7));
}

TEST(PropertyList, OtherBytesAreNotAPropertyList) {
    for (const QByteArray& bytes :
         {QByteArray(), QByteArray("{\"json\": true}"), QByteArray("\x00\x01\x02", 3), QByteArray("bplis")}) {
        const auto result = readPropertyList(bytes);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().kind, PlistErrorKind::notPropertyList);
        EXPECT_EQ(result.error().message, u"the file is not a property list"_s);
    }
}

TEST(PropertyList, FileLargerThan256MiBIsRefusedBeforeReading) {
    // Uninitialised: the pages are never touched, so this costs no real memory.
    const QByteArray huge(plistLimits::maxFileSize + 1, Qt::Uninitialized);
    const auto result = readPropertyList(huge);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().kind, PlistErrorKind::tooLarge);
    EXPECT_EQ(result.error().message, u"the file is larger than 256 MiB"_s);
}

} // namespace
} // namespace pexlora
