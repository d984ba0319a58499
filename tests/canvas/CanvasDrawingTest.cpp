#include "CanvasTestSupport.h"

#include "canvas/SelectionPreview.h"
#include "widgets/SystemColors.h"

#include <QImage>
#include <QPainter>

using namespace pexlora;
using test::CanvasHarness;

namespace {

using P = std::vector<GridPosition>;

QColor over(QColor top, QColor bottom) {
    const double a = top.alphaF();
    return QColor::fromRgbF(static_cast<float>(top.redF() * a + bottom.redF() * (1 - a)),
                            static_cast<float>(top.greenF() * a + bottom.greenF() * (1 - a)),
                            static_cast<float>(top.blueF() * a + bottom.blueF() * (1 - a)));
}

::testing::AssertionResult near(QColor actual, QColor expected, int tolerance = 3) {
    const int d = std::max({std::abs(actual.red() - expected.red()), std::abs(actual.green() - expected.green()),
                            std::abs(actual.blue() - expected.blue())});
    if (d <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << actual.name().toStdString() << " is not " << expected.name().toStdString();
}

class CanvasDrawing : public testing::Test {
protected:
    void SetUp() override {
        c.model.placeElements(P{{1, 1}, {2, 1}, {3, 1}});
        c.model.setPreviewPlaying(false); // no glow unless a test asks for it
    }
    QImage shot() const { return c.view->grab().toImage(); }
    QColor at(const QImage& image, QPointF p) const { return image.pixelColor(p.toPoint()); }
    SystemColors colors() const { return SystemColors::fromPalette(c.view->palette()); }
    // A point inside a cell, clear of its number and badge.
    QPointF plainPart(GridPosition p) const { return c.model.cellRect(p).bottomLeft() + QPointF(8, -8); }

    CanvasHarness c;
};

TEST_F(CanvasDrawing, CellsShowTheirStateInTheirFill) {
    c.model.selectSingle(c.idAt({2, 1}));
    QImage image = shot();
    const SystemColors k = colors();
    EXPECT_TRUE(near(at(image, plainPart({1, 1})), k.windowBackground));
    EXPECT_TRUE(near(at(image, plainPart({2, 1})), over(k.selectedControl, k.controlBackground)));
    c.model.setMode(AppMode::edit);
    c.model.setEditSelectedIDs({c.idAt({3, 1})});
    image = shot();
    EXPECT_TRUE(near(at(image, plainPart({2, 1})), k.windowBackground)) << "the select-mode selection is not shown";
    EXPECT_TRUE(near(at(image, plainPart({3, 1})), over(SystemColors::withAlpha(k.accent, 0.15), k.controlBackground)));
}

TEST_F(CanvasDrawing, OrderBadgesSitInTheTopRightCornerNumberedByFrame) {
    c.model.setSelectionGroups({{c.idAt({1, 1}), c.idAt({3, 1})}, {c.idAt({2, 1})}});
    c.model.setSelectionModifier(MarqueeModifier::command);
    const QImage image = shot();
    const QRectF inner = c.model.cellRect({2, 1}).adjusted(2, 2, -2, -2);
    const double d = std::min(16.0, 0.3 * inner.width());
    const QPointF disc(inner.right() - d / 2 - 2, inner.top() + 2 + d / 2);
    EXPECT_TRUE(near(at(image, disc + QPointF(0, d * 0.38)), colors().accent, 40));
    EXPECT_FALSE(near(at(image, QPointF(inner.left() + d / 2 + 2, disc.y())), colors().accent, 40))
        << "not in the top-left corner";
}

TEST_F(CanvasDrawing, TheMarqueeTakesTheColourOfItsModifier) {
    const SystemColors k = colors();
    const std::pair<Qt::KeyboardModifiers, QColor> cases[] = {
        {Qt::NoModifier, k.accent}, {Qt::AltModifier, k.green}, {Qt::ControlModifier, k.orange},
        {Qt::ShiftModifier, k.purple}, {Qt::MetaModifier, k.cyan}};
    for (const auto& [modifiers, colour] : cases) {
        c.press({250, 150}, modifiers);
        c.move({430, 330}, modifiers); // empty grid, no cells under it
        const QImage image = shot();
        // The fill, between the guide lines; most of three neighbouring points.
        const QColor fill = over(SystemColors::withAlpha(colour, 0.1), k.controlBackground);
        int filled = 0;
        for (const double x : {295.0, 305.0, 315.0})
            filled += near(at(image, {x, 205}), fill, 4);
        EXPECT_GE(filled, 2) << modifiers.toInt();
        // The dashed outline, along the top edge.
        int outlined = 0;
        for (int x = 252; x < 428; ++x)
            outlined += near(image.pixelColor(x, 150), colour, 60); // the line covers three quarters of the row
        EXPECT_GT(outlined, 40) << modifiers.toInt();
        c.release({430, 330}, modifiers);
    }
}

TEST_F(CanvasDrawing, NumbersAndBadgesOnlyFromZoomPointThree) {
    c.model.selectSingle(c.idAt({1, 1}));
    const auto inkIn = [&](double zoom) {
        c.model.setZoomScale(zoom);
        const QImage image = shot();
        const QRect cell = c.model.cellRect({2, 1}).adjusted(5, 5, -5, -5).toAlignedRect(); // clear of the corners
        const QColor fill = at(image, plainPart({2, 1}));
        int ink = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                ink += !near(image.pixelColor(x, y), fill, 20);
        return ink;
    };
    EXPECT_EQ(inkIn(0.29), 0);
    EXPECT_GT(inkIn(0.3), 0);
}

TEST_F(CanvasDrawing, OutsideTheGridIsShadedAndItsEdgesDrawn) {
    c.model.setPanOffset({100, 50});
    const QImage image = shot();
    const SystemColors k = colors();
    const QColor shade = over(SystemColors::withAlpha(k.windowBackground, 0.65), k.controlBackground);
    EXPECT_TRUE(near(at(image, {50, 230}), shade, 4)) << "left of the origin";
    EXPECT_TRUE(near(at(image, {330, 25}), shade, 4)) << "above it";
    EXPECT_TRUE(near(at(image, {330, 245}), k.controlBackground, 4)) << "inside the grid";
    EXPECT_FALSE(near(at(image, {100, 230}), shade, 2)) << "the left edge line";
}

TEST_F(CanvasDrawing, LightAndDarkPalettesDifferWhereThePaletteSays) {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2a, 0x2a, 0x2a));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    dark.setColor(QPalette::Mid, QColor(0x55, 0x55, 0x55));
    const QImage light = shot();
    c.view->setPalette(dark);
    const QImage night = shot();
    EXPECT_TRUE(colors().dark);
    EXPECT_TRUE(near(at(night, {500, 330}), QColor(0x1e, 0x1e, 0x1e)));
    EXPECT_TRUE(near(at(night, plainPart({1, 1})), QColor(0x2a, 0x2a, 0x2a)));
    EXPECT_FALSE(near(at(light, {500, 330}), at(night, {500, 330}), 40));
    EXPECT_EQ(SystemColors::fromPalette(dark).orange, QColor(0xFF9F0A)) << "the dark variant of the system colour";
}

TEST_F(CanvasDrawing, APreviewTickRepaintsOnlyTheCellsItChangesAndTheScreenShowsTheSame) {
    // More cells than places in view, so cells are found through the position index.
    for (std::int64_t row = 2; row < 32; ++row) {
        P line;
        for (std::int64_t col = 0; col < 30; ++col)
            line.push_back({col, row});
        c.model.placeElements(line);
    }
    c.model.setPreviewPlaying(true);
    c.model.setSelectionGroups({{c.idAt({1, 1}), c.idAt({3, 1}), c.idAt({2, 3}), c.idAt({5, 5}), c.idAt({6, 5})}});
    QImage screen(c.view->size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&screen);
        c.view->paintCanvas(painter, QRegion(c.view->rect()));
    }
    QRegion repainted;
    QObject::connect(&c.view->preview(), &SelectionPreview::cellsChanged,
                     [&](const QSet<QUuid>& ids) { repainted += c.view->cellsRegion(ids); });
    for (int tick = 0; tick < 12; ++tick) {
        c.clock->time += 0.03;
        c.view->preview().tick();
        int area = 0;
        for (const QRect& r : repainted)
            area += r.width() * r.height();
        EXPECT_LE(area, 5 * 84 * 84) << "the five selected cells and their glow at most";
        QPainter painter(&screen);
        c.view->paintCanvas(painter, repainted);
        repainted = QRegion();
    }
    QImage whole(c.view->size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&whole);
    c.view->paintCanvas(painter, QRegion(c.view->rect()));
    EXPECT_EQ(screen, whole);
}

TEST_F(CanvasDrawing, FarPansAndTheSmallestZoomDrawOnlyWhatIsInView) {
    c.model.setZoomScale(0.1);
    for (const QSizeF pan : {QSizeF(1e9, 1e9), QSizeF(-1e9, -1e9), QSizeF(-1e15, 3e18)}) {
        c.model.setPanOffset(pan);
        const QImage image = shot(); // would never finish if it walked from column 0
        EXPECT_FALSE(image.isNull());
    }
}

TEST_F(CanvasDrawing, CachedCellsAreDrawnAtTheDevicesPixelRatio) {
    const auto edge = [&](qreal ratio) {
        QImage image((c.view->size() * ratio), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        QPainter painter(&image);
        c.view->paintCanvas(painter, QRegion(c.view->rect()));
        painter.end();
        // From inside the cell leftwards to the first pixel of its outline.
        const int y = static_cast<int>(90 * ratio);
        int x = static_cast<int>(75 * ratio);
        const QColor fill = image.pixelColor(x, y);
        while (near(image.pixelColor(x, y), fill, 10))
            --x;
        return x;
    };
    // The half-point outline 2 points inside the square covers device pixel 62
    // at ratio 1 and 124 at ratio 2; an image made at ratio 1 and scaled up
    // would put it at 125.
    EXPECT_EQ(edge(1), 62);
    EXPECT_EQ(edge(2), 124);
}

} // namespace
