// SPDX-License-Identifier: GPL-3.0-or-later
#include "CanvasTestSupport.h"
#include "widgets/SystemColors.h"

#include <QImage>

using namespace pexlora;
using test::CanvasHarness;

namespace {

bool near(QColor a, QColor b, int tolerance = 30) {
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

class ConsoleRings : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        c.model.placeElements(std::vector<GridPosition>{{1, 1}, {2, 1}, {3, 1}});
        c.model.setPreviewPlaying(false);
        if (GetParam())
            c.view->setPalette(test::darkPalette());
    }
    QImage shot() const { return c.view->grab().toImage(); }
    // The middle of a cell's left edge, in the gap outside its rounded shape.
    QColor edgeOf(const QImage& image, GridPosition p) const {
        const QRectF cell = c.model.cellRect(p);
        return image.pixelColor(QPointF(cell.left() + 1, cell.center().y()).toPoint());
    }
    SystemColors colors() const { return SystemColors::fromPalette(c.view->palette()); }

    CanvasHarness c;
};

TEST_P(ConsoleRings, RingTheConsolesCellsInAColourOfTheirOwnBesideTheSelectionAndUnderTheBadge) {
    const SystemColors k = colors();
    EXPECT_EQ(k.dark, GetParam());
    for (const QColor& other : {k.accent, k.selectedControl, k.orange, k.green, k.purple, k.cyan,
                                k.controlBackground, k.windowBackground, k.label})
        EXPECT_FALSE(near(k.pink, other, 40)) << "the ring is not " << other.name().toStdString();

    // Pexlora selects 2 and 3, the console selects 1 and 2.
    c.model.setSelectionGroups({{c.idAt({2, 1}), c.idAt({3, 1})}});
    c.view->setConsoleSelection({c.idAt({1, 1}), c.idAt({2, 1})});
    const QImage image = shot();
    EXPECT_TRUE(near(edgeOf(image, {1, 1}), k.pink));
    EXPECT_TRUE(near(edgeOf(image, {2, 1}), k.pink)) << "also on a cell Pexlora has selected";
    EXPECT_FALSE(near(edgeOf(image, {3, 1}), k.pink)) << "Pexlora's own selection has no ring";

    // The badge of cell 2 still shows in its corner over the ring.
    const QRectF inner = c.model.cellRect({2, 1}).adjusted(2, 2, -2, -2);
    const double d = std::min(16.0, 0.3 * inner.width());
    const QPointF disc(inner.right() - d / 2 - 2, inner.top() + 2 + d / 2 + d * 0.38);
    EXPECT_TRUE(near(image.pixelColor(disc.toPoint()), k.accent, 40));

    // A console that selects nothing takes the rings away again.
    c.view->setConsoleSelection({});
    EXPECT_FALSE(near(edgeOf(shot(), {1, 1}), k.pink));
}

TEST_P(ConsoleRings, ShowAtTheSmallestZoomToo) {
    c.model.setZoomScale(0.1);
    c.view->setConsoleSelection({c.idAt({2, 1})});
    const QImage image = shot();
    EXPECT_TRUE(near(edgeOf(image, {2, 1}), colors().pink, 60));
}

INSTANTIATE_TEST_SUITE_P(LightAndDark, ConsoleRings, testing::Values(false, true));

} // namespace
