// SPDX-License-Identifier: GPL-3.0-or-later
#include "CanvasTestSupport.h"
#include "canvas/ReadableText.h"
#include "canvas/SelectionPreview.h"
#include "widgets/SystemColors.h"

#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>
#include <tuple>

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
    const int d =
        std::max({std::abs(actual.red() - expected.red()), std::abs(actual.green() - expected.green()),
                  std::abs(actual.blue() - expected.blue())});
    if (d <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << actual.name().toStdString() << " is not " << expected.name().toStdString();
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
    EXPECT_TRUE(near(at(image, plainPart({2, 1})), k.windowBackground))
        << "the select-mode selection is not shown";
    EXPECT_TRUE(near(at(image, plainPart({3, 1})),
                     over(SystemColors::withAlpha(k.accent, 0.15), k.controlBackground)));
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
    // The colours themselves are the key legend's; here the marquee follows its keys.
    const std::pair<Qt::KeyboardModifiers, QColor> cases[] = {{Qt::NoModifier, k.accent},
                                                              {Qt::MetaModifier, k.cyan}};
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
            outlined +=
                near(image.pixelColor(x, 150), colour, 60); // the line covers three quarters of the row
        EXPECT_GT(outlined, 40) << modifiers.toInt();
        c.release({430, 330}, modifiers);
    }
}

TEST_F(CanvasDrawing, NumbersAndBadgesOnlyFromZoomPointThree) {
    c.model.selectSingle(c.idAt({1, 1}));
    const auto inkIn = [&](double zoom) {
        c.model.setZoomScale(zoom);
        const QImage image = shot();
        const QRect cell =
            c.model.cellRect({2, 1}).adjusted(5, 5, -5, -5).toAlignedRect(); // clear of the corners
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
    EXPECT_EQ(SystemColors::fromPalette(dark).orange, QColor(0xFF9F0A))
        << "the dark variant of the system colour";
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
    c.model.setSelectionGroups(
        {{c.idAt({1, 1}), c.idAt({3, 1}), c.idAt({2, 3}), c.idAt({5, 5}), c.idAt({6, 5})}});
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

namespace {

// What the screen shows once the repaints the canvas asked for have landed, set
// against a drawing of the whole canvas from scratch.
::testing::AssertionResult screenShowsAFullRepaint(GridCanvasView& view) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    const QImage shown = view.screen()
                             ->grabWindow(view.winId())
                             .toImage()
                             .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage whole = view.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (shown.size() != whole.size())
        return ::testing::AssertionFailure() << "the screen shows no window";
    QRect stale;
    for (int y = 0; y < whole.height(); ++y)
        for (int x = 0; x < whole.width(); ++x)
            if (shown.pixel(x, y) != whole.pixel(x, y))
                stale |= QRect(x, y, 1, 1);
    if (stale.isNull())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "stale pixels in (" << stale.x() << ", " << stale.y() << ") "
                                         << stale.width() << " x " << stale.height();
}

TEST_F(CanvasDrawing, OverlaysRepaintedInPartLeaveTheScreenAsAWholeRepaintWould) {
    c.model.placeElements(P{{1, 3}, {2, 3}});
    GridCanvasView& view = *c.view;
    ASSERT_TRUE(screenShowsAFullRepaint(view));

    // Panning shifts what the screen shows and paints only what it uncovers.
    const auto wheel = [&](QPoint pixels) {
        QWheelEvent event(QPointF(300, 200), view.mapToGlobal(QPointF(300, 200)), pixels, QPoint(),
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &event);
    };
    c.model.selectSingle(c.idAt({2, 1}));
    c.model.setPanOffset({30, 20}); // the grid's edges in view
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "panned in";
    wheel({-47, -13});
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "panned across the origin";
    wheel({0, 120});
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "panned down";
    c.model.setPanOffset({-0.5, 3.25}); // a bounce's step: not whole pixels
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "panned by a fraction";
    c.model.setPanOffset({0, 0});

    // The Quick # label grows from "→ 9" to "→ 10" with a click, then follows the pointer leftwards.
    c.model.setMode(AppMode::edit);
    c.model.setEditTool(EditTool::quickRenumber);
    c.model.setQuickRenumberNext(QStringLiteral("9"));
    c.enter({100, 90});
    c.hover({100, 90});
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "label shown";
    c.click({100, 90});
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "label grown";
    c.hover({70, 150});
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "label moved";
    c.model.setQuickRenumberNext(QStringLiteral("100.5"));
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "label grown from the panel";
    c.hover({40, 160});
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "and moved again";

    // The add-line preview grows and shrinks.
    c.model.setEditTool(EditTool::addElement);
    c.press(c.centre({1, 5}));
    c.move(c.centre({6, 5}));
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "line grown";
    c.move(c.centre({2, 6}));
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "line shrunk";
    c.release(c.centre({2, 6}));
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "line placed";

    // Dragged cells leave their places empty and follow the pointer.
    c.model.setEditTool(EditTool::selectElement);
    c.model.setEditSelectedIDs({c.idAt({1, 3}), c.idAt({2, 3})});
    c.press(c.centre({1, 3}));
    c.move(c.centre({4, 4}));
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "ghosts";
    c.move(c.centre({3, 3}));
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "ghosts moved";
    c.release(c.centre({3, 3}));
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "cells moved";

    // The select-mode marquee grows, shrinks and goes.
    c.model.setMode(AppMode::select);
    c.model.setPreviewPlaying(false);
    c.press({250, 150}, Qt::AltModifier);
    c.move({430, 330}, Qt::AltModifier);
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "marquee";
    c.move({300, 200}, Qt::ShiftModifier);
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "marquee shrunk";
    c.release({300, 200});
    EXPECT_TRUE(screenShowsAFullRepaint(view)) << "marquee gone";
}

TEST_F(CanvasDrawing, ALitCellShowsTheSelectedFillThroughAQuarterOrangeGlow) {
    c.model.setPreviewPlaying(true);
    c.model.selectSingle(c.idAt({2, 1})); // one cell stays lit
    ASSERT_EQ(c.view->preview().glow(c.idAt({2, 1}), c.clock->time), 1.0);
    const SystemColors k = colors();
    // The wash over its own shadow over the selected fill; clear of the number,
    // the badge and the blurred edge.
    const QColor shadow = SystemColors::withAlpha(k.orange, 0.85 * 0.28);
    const QColor expected =
        SystemColors::over(SystemColors::withAlpha(k.orange, 0.28),
                           SystemColors::over(shadow, over(k.selectedControl, k.controlBackground)));
    EXPECT_TRUE(near(at(shot(), c.model.cellRect({2, 1}).center() + QPointF(-14, 16)), expected, 4));
}

QImage drawnAtRatioTwo(GridCanvasView& view) {
    QImage image(view.size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    QPainter painter(&image);
    view.paintCanvas(painter, QRegion(view.rect()));
    return image;
}

TEST_F(CanvasDrawing, AGroupDragDrawsTheSelectionAtTheOffsetHalfHighlightedAndOutlined) {
    c.model.setMode(AppMode::edit);
    c.model.setEditSelectedIDs({c.idAt({1, 1}), c.idAt({2, 1})});
    c.press(c.centre({1, 1}));
    c.move(c.centre({2, 3}));
    const QImage image = drawnAtRatioTwo(*c.view);
    const SystemColors k = colors();
    const auto pixel = [&](QPointF p) { return image.pixelColor((p * 2).toPoint()); };
    const QColor ghost = over(SystemColors::withAlpha(k.selectedControl, 0.5), k.controlBackground);
    EXPECT_TRUE(near(pixel(plainPart({2, 3})), ghost)) << "(1, 1) one column right, two rows down";
    EXPECT_TRUE(near(pixel(plainPart({3, 3})), ghost)) << "(2, 1) with it";
    EXPECT_TRUE(near(pixel(plainPart({1, 1})), k.controlBackground)) << "the place it left shows nothing";
    EXPECT_TRUE(near(pixel(plainPart({3, 1})), k.windowBackground)) << "an unselected cell stays";
    // The 1.5-point accent outline on the rounded square 2 points inside the cell.
    const QRectF cell = c.model.cellRect({2, 3});
    // Device pixels 243 and 244 lie wholly inside it, 246 outside.
    EXPECT_TRUE(near(pixel({cell.left() + 1.6, cell.center().y()}), k.accent));
    EXPECT_TRUE(near(pixel({cell.left() + 2.1, cell.center().y()}), k.accent));
    EXPECT_FALSE(near(pixel({cell.left() + 3.1, cell.center().y()}), k.accent, 20)) << "no wider than 1.5";
}

TEST_F(CanvasDrawing, ARefusedMoveOutlinesWhereItWouldLandAndLeavesEveryNumberAsItIs) {
    c.model.setMode(AppMode::edit);
    c.model.setEditSelectedIDs({c.idAt({1, 1}), c.idAt({2, 1})});
    const GridElements cells = c.model.elements();
    const QImage before = shot();
    const auto middle = [&](GridPosition p) {
        return c.model.cellRect(p).adjusted(8, 8, -8, -8).toAlignedRect();
    };
    const auto outlined = [&](const QImage& image, GridPosition p) {
        // The 2-point pen on the rounded square 2 points inside the cell covers device pixel left + 1.
        const QRect cell = c.model.cellRect(p).toAlignedRect();
        return near(image.pixelColor(cell.left() + 1, cell.center().y()), colors().red, 10);
    };

    // (2, 1) would land on (3, 1), which stays: refused.
    c.press(c.centre({1, 1}));
    c.move(c.centre({2, 1}));
    const QImage refused = shot();
    for (const GridPosition p : {GridPosition{1, 1}, GridPosition{2, 1}, GridPosition{3, 1}})
        EXPECT_EQ(before.copy(middle(p)), refused.copy(middle(p)))
            << "(" << p.col << ", " << p.row << ") shows its own number only";
    EXPECT_TRUE(outlined(refused, {2, 1}));
    EXPECT_TRUE(outlined(refused, {3, 1}));
    EXPECT_FALSE(outlined(refused, {1, 1}));

    // Two rows down the move is allowed: the ghosts are drawn there, as ever.
    c.move(c.centre({1, 3}));
    const QImage allowed = shot();
    EXPECT_NE(before.copy(middle({1, 3})), allowed.copy(middle({1, 3})));
    EXPECT_FALSE(outlined(allowed, {1, 3}));

    c.move(c.centre({2, 1}));
    c.release(c.centre({2, 1}));
    EXPECT_EQ(c.model.elements(), cells) << "let go, the model refuses it as before";
    EXPECT_FALSE(outlined(shot(), {3, 1})) << "nothing left once let go";
}

TEST_F(CanvasDrawing, TheQuickNumberLabelKeepsClearOfTheSquareItWouldNumberEvenAtTheViewsEdges) {
    c.model.setMode(AppMode::edit);
    c.model.setEditTool(EditTool::quickRenumber);
    c.model.setQuickRenumberNext(QStringLiteral("202.5"));
    const struct {
        QPointF pointer;
        double zoom;
        const char* where;
    } cases[] = {
        {{150, 90}, 1, "on a cell"},
        {{270, 395}, 1, "at the bottom edge"},
        {{595, 150}, 1, "at the right edge"},
        {{595, 395}, 1, "in the bottom right corner"},
        {{100, 200}, 7, "on a square taller than the view"},
        {{590, 200}, 7, "on such a square at the right edge"},
    };
    const QRgb accent = colors().accent.rgb();
    for (const auto& k : cases) {
        SCOPED_TRACE(k.where);
        c.model.setZoomScale(k.zoom);
        c.enter(k.pointer);
        c.hover(k.pointer);
        const QImage image = shot().convertToFormat(QImage::Format_RGB32);
        QPoint first(image.width(), image.height());
        QPoint last(-1, -1);
        for (int y = 0; y < image.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((line[x] & 0xFFFFFF) == (accent & 0xFFFFFF)) {
                    first = {std::min(first.x(), x), std::min(first.y(), y)};
                    last = {std::max(last.x(), x), std::max(last.y(), y)};
                }
        }
        const QRect label(first, last);
        const double size = c.model.cellSize();
        const QRectF square(std::floor(k.pointer.x() / size) * size, std::floor(k.pointer.y() / size) * size,
                            size, size);
        EXPECT_FALSE(label.isEmpty()) << "drawn";
        EXPECT_FALSE(QRectF(label).intersects(square)) << "clear of the square";
        EXPECT_TRUE(c.view->rect().contains(label)) << "inside the view";
    }
}

// The colour of the number's strongest ink in a cell, and the fill around it.
std::pair<QColor, QColor> inkAndFill(const QImage& image, const QRectF& cell) {
    const auto pixel = [&](QPointF p) { return image.pixelColor((p * 2).toPoint()); };
    const QColor fill = pixel(cell.center() + QPointF(-14, 16));
    QColor ink = fill;
    for (double y = cell.center().y() - 8; y < cell.center().y() + 8; y += 0.5)
        for (double x = cell.center().x() - 10; x < cell.center().x() + 10; x += 0.5)
            if (contrastRatio(pixel({x, y}), fill) > contrastRatio(ink, fill))
                ink = pixel({x, y});
    return {ink, fill};
}

TEST_F(CanvasDrawing, NumbersReadOnSelectedDraggedAndLitCellsInLightAndDark) {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2e));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x20));
    dark.setColor(QPalette::Text, QColor(0xe8, 0xe8, 0xea));
    dark.setColor(QPalette::Mid, QColor(0x5a, 0x5a, 0x60));
    dark.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    for (const QPalette& palette : {c.view->palette(), dark}) {
        c.view->setPalette(palette);
        c.model.setMode(AppMode::select);
        c.model.setPreviewPlaying(true);
        c.model.setSelectionGroups({{c.idAt({1, 1}), c.idAt({2, 1})}});
        c.model.setSelectionModifier(MarqueeModifier::option); // one frame, lit while it plays
        const QImage lit = drawnAtRatioTwo(*c.view);
        c.model.setPreviewPlaying(false);
        const QImage selected = drawnAtRatioTwo(*c.view);
        c.model.setMode(AppMode::edit);
        c.model.setEditSelectedIDs({c.idAt({3, 1})});
        c.press(c.centre({3, 1}));
        c.move(c.centre({3, 3}));
        const QImage dragged = drawnAtRatioTwo(*c.view);
        c.release(c.centre({3, 3}));
        for (const auto& [image, cell, what] : {std::tuple{lit, GridPosition{1, 1}, "lit"},
                                                std::tuple{selected, GridPosition{2, 1}, "selected"},
                                                std::tuple{dragged, GridPosition{3, 3}, "dragged"}}) {
            const auto [ink, fill] = inkAndFill(image, c.model.cellRect(cell));
            EXPECT_GE(contrastRatio(ink, fill), 4.5)
                << what << (colors().dark ? " dark " : " light ") << ink.name().toStdString() << " on "
                << fill.name().toStdString();
        }
    }
}

// The rows and columns that hold ink in an area of plain fill.
QRect inkBox(const QImage& image, const QRectF& area) {
    const QRect inner = area.toAlignedRect();
    const QColor fill = image.pixelColor(inner.bottomLeft());
    QRect box;
    for (int y = inner.top(); y <= inner.bottom(); ++y)
        for (int x = inner.left(); x <= inner.right(); ++x)
            if (!near(image.pixelColor(x, y), fill, 40))
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST_F(CanvasDrawing, ANumberWithAPointShowsItsTwoPartsOneAboveTheOther) {
    c.model.setZoomScale(2);
    c.model.applyNumber(c.idAt({1, 1}), QStringLiteral("7.25"));
    c.model.applyNumber(c.idAt({2, 1}), QStringLiteral("12"));
    const QImage image = shot();
    const QRectF split = c.model.cellRect({1, 1});
    const QRectF inside = split.adjusted(6, 6, -6, -6); // clear of the rounded edges
    const QRect upper = inkBox(image, inside.adjusted(0, 0, 0, -inside.height() / 2));
    const QRect lower = inkBox(image, inside.adjusted(0, inside.height() / 2, 0, 0));
    ASSERT_FALSE(upper.isNull());
    ASSERT_FALSE(lower.isNull());
    EXPECT_GT(lower.width(), 2 * upper.width()) << ".25 under 7";
    EXPECT_NEAR(upper.center().x(), split.center().x(), 2) << "each line centred on its own";
    EXPECT_NEAR(lower.center().x(), split.center().x(), 2);
    // One line pitch (13 + 3 points) apart, on either side of the middle.
    EXPECT_NEAR(lower.top() - upper.top(), 16, 1);
    EXPECT_LT(upper.bottom(), split.center().y());
    EXPECT_GT(lower.top(), split.center().y());
    const QRect whole = inkBox(image, c.model.cellRect({2, 1}).adjusted(6, 6, -6, -6));
    EXPECT_NEAR(whole.center().y(), c.model.cellRect({2, 1}).center().y(), 2) << "12 on one centred line";
}

TEST_F(CanvasDrawing, NumbersGrowWithTheCellUpToThirteenPoints) {
    const auto inkHeight = [&](double zoom) {
        c.model.setZoomScale(zoom);
        return inkBox(shot(), c.model.cellRect({1, 1}).adjusted(4, 4, -4, -4)).height();
    };
    const int at60 = inkHeight(1); // min(13, 0.26 × 56) = 13
    EXPECT_EQ(inkHeight(2), at60) << "held at 13";
    EXPECT_NEAR(inkHeight(0.5), at60 * 6.76 / 13, 1.5) << "0.26 × 26 = 6.76";
}

} // namespace
