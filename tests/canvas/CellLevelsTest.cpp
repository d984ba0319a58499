// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/CellLevels.h"

#include "CanvasTestSupport.h"
#include "canvas/LevelMarks.h"
#include "canvas/SelectionPreview.h"
#include "widgets/PlainMessage.h"
#include "widgets/SystemColors.h"

#include <QHelpEvent>
#include <QImage>
#include <QToolTip>
#include <cmath>
#include <limits>

using namespace pexlora;
using test::CanvasHarness;

namespace {

TEST(LevelPercent, RoundsToWholePercentAndNamesFull) {
    const struct {
        float level;
        std::optional<int> percent;
        const char* text;
    } cases[] = {
        {0.0f, 0, "0"},
        {191.0f / 255.0f, 75, "75"}, // an 8-bit level, as sACN carries it
        {0.25f, 25, "25"},
        {0.994f, 99, "99"},
        {0.996f, 100, "FL"},
        {1.0f, 100, "FL"},
        {-0.2f, 0, "0"},
        {3.0f, 100, "FL"},
        {std::numeric_limits<float>::infinity(), 100, "FL"},
        {std::numeric_limits<float>::quiet_NaN(), std::nullopt, ""},
    };
    for (const auto& c : cases) {
        const std::optional<int> percent = levelPercent(c.level);
        EXPECT_EQ(percent, c.percent) << c.level;
        if (percent) {
            EXPECT_EQ(levelText(*percent).toStdString(), c.text) << c.level;
        }
    }
}

TEST(CellLevels, AnswerOnlyTheCellsWhoseDrawingChanges) {
    const QUuid a = QUuid::createUuid(), b = QUuid::createUuid(), d = QUuid::createUuid();
    CellLevels levels;
    const struct {
        QHash<QUuid, float> levels;
        QSet<QUuid> gone;
        QSet<QUuid> changed;
        const char* what;
    } steps[] = {
        {{{a, 0.5f}, {b, 0.0f}}, {}, {a, b}, "new levels"},
        {{{a, 0.5f}, {b, 0.0f}}, {}, {}, "the same again"},
        {{{a, 0.502f}}, {}, {}, "a change within the same percent"},
        {{{a, 0.6f}}, {b, d}, {a, b}, "a moves, b goes, d never had one"},
        {{{a, std::numeric_limits<float>::quiet_NaN()}}, {}, {a}, "not a number: no data"},
        {{{d, 1.0f}}, {d}, {d}, "gone and back in one update keeps the level"},
    };
    for (const auto& step : steps)
        EXPECT_EQ(levels.update(step.levels, step.gone), step.changed) << step.what;
    EXPECT_EQ(levels.percent(d), 100);
    EXPECT_EQ(levels.clear(), QSet<QUuid>{d});
    EXPECT_TRUE(levels.isEmpty());

    EXPECT_EQ(levels.setUnpatched({a, b}), (QSet<QUuid>{a, b}));
    EXPECT_EQ(levels.setUnpatched({b, d}), (QSet<QUuid>{a, d})) << "the marks that come and go";
    EXPECT_TRUE(levels.isUnpatched(d));
}

int difference(QColor a, QColor b) {
    return std::max(
        {std::abs(a.red() - b.red()), std::abs(a.green() - b.green()), std::abs(a.blue() - b.blue())});
}

class LevelDrawing : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        c.model.placeElements(std::vector<GridPosition>{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {1, 3}, {4, 3}});
        c.model.setPreviewPlaying(false);
        if (GetParam())
            c.view->setPalette(test::darkPalette());
    }
    QImage shot() const { return c.view->grab().toImage(); }
    QColor at(const QImage& image, GridPosition p, QPointF offset) const {
        return image.pixelColor((c.model.cellRect(p).topLeft() + offset).toPoint());
    }
    QImage corner(const QImage& image, GridPosition p) const {
        return image.copy(c.model.cellRect(p).adjusted(3, 3, -36, -40).toRect());
    }
    SystemColors colors() const { return SystemColors::fromPalette(c.view->palette()); }

    CanvasHarness c;
};

TEST_P(LevelDrawing, AFillRisesWithTheLevelAndTheLevelStandsInTheCorner) {
    const SystemColors k = colors();
    const QImage before = shot();
    const QColor ground = at(before, {1, 1}, {8, 50});
    c.view->updateCellLevels(
        {{c.idAt({1, 1}), 0.25f}, {c.idAt({2, 1}), 1.0f}, {c.idAt({3, 1}), 0.0f}, {c.idAt({4, 1}), 0.99f}},
        {});
    QImage image = shot();
    const QColor lit = SystemColors::over(LevelMarks::fillColour(k, false), ground);
    // Cells of 60 points: the fill spans 54 points up from 3 above the bottom.
    const struct {
        GridPosition cell;
        double row;
        bool filled;
    } rows[] = {
        {{1, 1}, 56, true}, {{1, 1}, 46, true}, {{1, 1}, 42, false}, {{1, 1}, 20, false},
        {{2, 1}, 56, true}, {{2, 1}, 20, true}, {{3, 1}, 56, false}, {{3, 1}, 46, false},
    };
    for (const auto& r : rows) {
        const QColor seen = at(image, r.cell, {8, r.row});
        EXPECT_LE(difference(seen, r.filled ? lit : ground), 4)
            << r.cell.col << " at " << r.row << ": " << seen.name().toStdString();
    }
    // "FL" and "99" differ, and zero recedes behind any other level.
    EXPECT_NE(corner(image, {2, 1}), corner(image, {4, 1}));
    const auto strongest = [&](GridPosition p, QColor behind) {
        const QImage area = corner(image, p);
        int most = 0;
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x)
                most = std::max(most, difference(area.pixelColor(x, y), behind));
        return most;
    };
    EXPECT_GT(strongest({1, 1}, ground), strongest({3, 1}, ground) + 20);
    EXPECT_GT(strongest({3, 1}, ground), 40) << "zero still shows";

    // Too small for numbers: the fill stays.
    c.model.setZoomScale(0.25);
    ASSERT_LT(0.25, CellRenderer::minLabelZoom);
    image = shot();
    const QRectF small = c.model.cellRect({2, 1});
    EXPECT_LE(difference(image.pixelColor(small.center().toPoint()), lit), 12);

    // Levels gone, the cells are drawn as before there were any.
    c.model.setZoomScale(1);
    c.view->clearCellLevels();
    EXPECT_EQ(shot(), before);
}

TEST_P(LevelDrawing, AMissingPatchMarksTheBottomRightCorner) {
    const SystemColors k = colors();
    c.view->setUnpatchedCells({c.idAt({1, 1})});
    c.view->updateCellLevels({{c.idAt({1, 1}), 1.0f}}, {});
    const QImage image = shot();
    EXPECT_LE(difference(at(image, {1, 1}, {53, 53}), k.red), 4);
    EXPECT_GT(difference(at(image, {2, 1}, {53, 53}), k.red), 60);
    EXPECT_GT(difference(at(image, {1, 1}, {8, 8}), k.red), 60) << "not in the level's corner";
}

TEST_P(LevelDrawing, ASelectedLitCellKeepsItsFrameAndBadgeStillOrGlowing) {
    c.model.selectSingle(c.idAt({1, 1}));
    for (const bool glowing : {false, true}) {
        c.model.setPreviewPlaying(glowing);
        c.view->preview().synchronise(c.model);
        c.view->updateCellLevels({}, {c.idAt({1, 1})});
        const QImage unlit = shot();
        c.view->updateCellLevels({{c.idAt({1, 1}), 1.0f}}, {});
        const QImage lit = shot();
        // Inside the outline, the band of the selection's fill the level's fill keeps clear of.
        for (const QPointF frame : {QPointF(4, 50), QPointF(30, 56), QPointF(56, 30)})
            EXPECT_LE(difference(at(lit, {1, 1}, frame), at(unlit, {1, 1}, frame)), 2) << glowing;
        EXPECT_GT(difference(at(lit, {1, 1}, {8, 50}), at(unlit, {1, 1}, {8, 50})), 30) << glowing;
        const QPointF badge(48, 18); // the disc, below its digit
        EXPECT_LE(difference(at(lit, {1, 1}, badge), at(unlit, {1, 1}, badge)), 2) << glowing;
    }
}

INSTANTIATE_TEST_SUITE_P(LightAndDark, LevelDrawing, testing::Values(false, true));

// Collects what the canvas repaints.
class PaintSpy : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion painted;
};

TEST(LevelRepaint, OnlyTheCellsWhoseLevelOrMarkChangedArePainted) {
    CanvasHarness c;
    c.model.placeElements(std::vector<GridPosition>{{1, 1}, {2, 1}, {5, 4}, {7, 5}});
    c.model.setPreviewPlaying(false);
    PaintSpy spy;
    c.view->installEventFilter(&spy);
    const auto paintedAfter = [&](const auto& change) {
        QCoreApplication::processEvents();
        spy.painted = QRegion();
        change();
        QCoreApplication::processEvents();
        return spy.painted;
    };
    const QUuid a = c.idAt({1, 1}), b = c.idAt({5, 4}), far = c.idAt({7, 5});
    const QRegion both = c.view->cellSquares({a, b});
    QRegion painted = paintedAfter([&] { c.view->updateCellLevels({{a, 0.5f}, {b, 0.3f}}, {}); });
    EXPECT_TRUE(painted.contains(c.model.cellRect({1, 1}).toRect()));
    EXPECT_TRUE(both.boundingRect().contains(painted.boundingRect()));
    painted = paintedAfter([&] { c.view->updateCellLevels({{a, 0.5f}, {b, 0.31f}}, {}); });
    EXPECT_EQ(painted.boundingRect(), c.view->cellSquares({b}).boundingRect()) << "a stayed as it was";
    painted = paintedAfter([&] { c.view->updateCellLevels({{a, 0.501f}}, {far}); });
    EXPECT_TRUE(painted.isEmpty()) << "the same percent, and a cell that had no level";
    painted = paintedAfter([&] { c.view->setUnpatchedCells({far}); });
    EXPECT_EQ(painted.boundingRect(), c.view->cellSquares({far}).boundingRect());
}

TEST(CellToolTip, ShowsTheTextGivenForTheCellUnderThePointerAndNoneOverTheGround) {
    CanvasHarness c;
    c.model.placeElements(std::vector<GridPosition>{{1, 1}, {2, 1}});
    c.view->setCellToolTip([](const GridElement& cell) {
        return cell.position.col == 1 ? QStringLiteral("<b>Chan %1</b> 75 %").arg(cell.numberString)
                                      : QString();
    });
    const auto ask = [&](QPointF at) {
        QHelpEvent event(QEvent::ToolTip, at.toPoint(), c.view->mapToGlobal(at.toPoint()));
        QApplication::sendEvent(c.view.get(), &event);
    };
    ask(c.centre({1, 1}));
    ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }));
    const QString number = c.model.element(c.idAt({1, 1}))->numberString;
    EXPECT_EQ(QToolTip::text(), plainToolTip(QStringLiteral("<b>Chan %1</b> 75 %").arg(number)))
        << "the desk's text shown as text";
    ask(c.centre({4, 4}));
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); })) << "none over the ground";
    ask(c.centre({1, 1}));
    ASSERT_TRUE(QTest::qWaitFor([] { return QToolTip::isVisible(); }));
    ask(c.centre({2, 1}));
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); })) << "a cell with nothing to say";
}

} // namespace
