// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/ReadableText.h"

#include <gtest/gtest.h>

using namespace pexlora;

namespace {

TEST(ReadableText, ContrastAsAccessibilityGuidelinesMeasureIt) {
    EXPECT_DOUBLE_EQ(contrastRatio(Qt::black, Qt::white), 21.0);
    EXPECT_DOUBLE_EQ(contrastRatio(Qt::white, Qt::black), 21.0);
    EXPECT_DOUBLE_EQ(contrastRatio(QColor(0x30, 0x8c, 0xc6), QColor(0x30, 0x8c, 0xc6)), 1.0);
    EXPECT_NEAR(contrastRatio(QColor(0x76, 0x76, 0x76), Qt::white), 4.54,
                0.01); // the lightest grey that reads
    EXPECT_NEAR(contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
}

TEST(ReadableText, ThePreferredColourWhenItReadsElseTheOtherElseBlackOrWhite) {
    const QColor white(Qt::white), black(Qt::black), blue(0x00, 0x7a, 0xff), grey(0x80, 0x80, 0x80);
    EXPECT_EQ(readableOn(QColor(0x00, 0x40, 0x90), white, black), white);
    EXPECT_EQ(readableOn(QColor(0x8c, 0xc4, 0xf0), white, black), black) << "white fails on light blue";
    EXPECT_EQ(readableOn(QColor(0xe0, 0xe0, 0xe0), blue, grey), black) << "neither reads";
    EXPECT_EQ(readableOn(QColor(0x20, 0x20, 0x20), blue, grey), white);
}

} // namespace
