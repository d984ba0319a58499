// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/SymbolIcon.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;

struct Coverage {
    int inked = 0;   // pixels fully of the colour
    int partial = 0; // anti-aliased edge pixels
    int foreign = 0; // pixels of any other hue
};

// Draws a 16-point symbol on a device pixel ratio of 2, as on a high-density screen.
Coverage render(const QString& name, QColor color) {
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        SymbolIcon::paint(painter, name, QRectF(0, 0, 16, 16), color);
    }
    Coverage coverage;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() == 0)
                continue;
            const QColor opaque = QColor::fromRgb(pixel.rgb());
            // Faint edge pixels lose their hue to premultiplied rounding.
            const bool otherHue = std::abs(opaque.red() - color.red()) > 3 ||
                                  std::abs(opaque.green() - color.green()) > 3 ||
                                  std::abs(opaque.blue() - color.blue()) > 3;
            if (pixel.alpha() >= 96 && otherHue)
                ++coverage.foreign;
            else if (pixel.alpha() == 255)
                ++coverage.inked;
            else
                ++coverage.partial;
        }
    return coverage;
}

TEST(SymbolIcon, EveryToolbarSymbolDrawsSharplyInTheGivenColour) {
    EXPECT_EQ(SymbolIcon::names(), (QStringList{u"square.and.pencil"_s, u"play.circle"_s, u"stop.circle"_s, u"cursorarrow"_s,
                                                u"plus.app.fill"_s, u"number"_s, u"numbers"_s}));
    // A light and a dark label colour: the symbols take whatever the palette gives.
    for (const QColor color : {QColor(0x1d, 0x1d, 0x1f), QColor(0xf5, 0xf5, 0xf7)}) {
        for (const QString& name : SymbolIcon::names()) {
            const Coverage coverage = render(name, color);
            EXPECT_EQ(coverage.foreign, 0) << name.toStdString();
            // At ratio 2 solid strokes cover whole device pixels, not only blurred edges.
            EXPECT_GT(coverage.inked, 40) << name.toStdString();
            EXPECT_LT(coverage.partial, coverage.inked * 3) << name.toStdString();
        }
    }
}

TEST(SymbolIcon, UnknownNamesDrawNothing) {
    EXPECT_FALSE(SymbolIcon::isKnown(u"gearshape"));
    const Coverage coverage = render(u"gearshape"_s, Qt::black);
    EXPECT_EQ(coverage.inked + coverage.partial + coverage.foreign, 0);
}

TEST(SymbolIcon, PlusIsCutOutOfTheSquare) {
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        SymbolIcon::paint(painter, u"plus.app.fill", QRectF(0, 0, 40, 40), Qt::black);
    }
    EXPECT_EQ(image.pixelColor(20, 20).alpha(), 0) << "the centre of the plus shows the background";
    EXPECT_EQ(image.pixelColor(10, 10).alpha(), 255) << "the square around it is filled";
}

} // namespace
} // namespace pexlora
