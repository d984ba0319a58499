// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

using namespace pexlora;
using test::expectIndexMatchesElements;
using test::idAt;

namespace {

std::vector<QString> numbers(const GridViewModel& model) {
    std::vector<QString> out;
    for (const GridElement& e : model.elements())
        out.push_back(e.numberString);
    return out;
}

TEST(Place, FirstCellIsNumberedOneAndAPositionTakesOneCell) {
    GridViewModel model;
    model.placeElement({0, 0});
    ASSERT_EQ(model.elements().size(), 1u);
    EXPECT_EQ(model.elements()[0].numberString, QStringLiteral("1"));
    EXPECT_TRUE(model.isDirty());
    const auto before = model.elements();
    model.placeElement({0, 0});
    EXPECT_EQ(model.elements(), before);
    expectIndexMatchesElements(model);
}

TEST(Place, ALineTakesTheNextFreeNumberCellByCell) {
    GridViewModel model;
    model.placeElement({0, 5});
    model.applyNumber(idAt(model, {0, 5}), QStringLiteral("2"));
    for (std::int64_t col = 0; col < 4; ++col)
        model.placeElement({col, 0});
    EXPECT_EQ(numbers(model), (std::vector<QString>{u"2"_qs, u"1"_qs, u"3"_qs, u"4"_qs, u"5"_qs}));
}

TEST(Place, FreedNumbersAreReused) {
    GridViewModel model;
    test::placeAll(model, {{0, 0}, {1, 0}, {2, 0}});
    model.setEditSelectedIDs({idAt(model, {1, 0})});
    model.deleteEditSelection();
    model.placeElement({5, 5});
    EXPECT_EQ(model.element(idAt(model, {5, 5}))->numberString, QStringLiteral("2"));
    model.setEditSelectedIDs({idAt(model, {0, 0})});
    model.deleteEditSelection();
    model.placeElement({6, 6});
    EXPECT_EQ(model.element(idAt(model, {6, 6}))->numberString, QStringLiteral("1"));
}

TEST(Place, NumbersAgreeWithNextFreeNumberAfterRenumbering) {
    GridViewModel model;
    test::placeAll(model, {{0, 0}, {1, 0}, {2, 0}});
    model.applyNumber(idAt(model, {0, 0}), QStringLiteral("0012"));
    model.applyNumber(idAt(model, {1, 0}), QStringLiteral("1.5"));
    const QString expected = nextFreeNumber(model.elements());
    model.placeElement({3, 0});
    EXPECT_EQ(model.element(idAt(model, {3, 0}))->numberString, expected);
    EXPECT_EQ(expected, QStringLiteral("1"));
}

class Move : public testing::Test {
protected:
    void SetUp() override {
        test::placeAll(model, {{1, 1}, {2, 1}, {2, 2}});
        a = idAt(model, {1, 1});
        b = idAt(model, {2, 1});
        c = idAt(model, {2, 2});
    }
    GridPosition at(const QUuid& id) const { return model.element(id)->position; }

    GridViewModel model;
    QUuid a, b, c;
};

TEST_F(Move, SelectionMovesOntoCellsItIsLeaving) {
    model.setEditSelectedIDs({a, b});
    model.moveEditSelection(1, 0);
    EXPECT_EQ(at(a), (GridPosition{2, 1}));
    EXPECT_EQ(at(b), (GridPosition{3, 1}));
    EXPECT_EQ(model.elements()[0].id, a) << "moving keeps the list order";
    expectIndexMatchesElements(model);
}

TEST_F(Move, RefusedWholeWhenAnyCellWouldLeaveTheGrid) {
    model.setEditSelectedIDs({a, b});
    test::clearDirty(model);
    const auto before = model.elements();
    model.moveEditSelection(-2, 0);
    EXPECT_EQ(model.elements(), before);
    EXPECT_FALSE(model.isDirty());
    expectIndexMatchesElements(model);
}

TEST_F(Move, RefusedWholeWhenACellWouldLandOnAnUnselectedOne) {
    model.setEditSelectedIDs({a, c});
    const auto before = model.elements();
    model.moveEditSelection(1, 0); // a onto b, which stays
    EXPECT_EQ(model.elements(), before);
    expectIndexMatchesElements(model);
}

TEST_F(Move, RefusedWholeWhenACoordinateWouldOverflow) {
    GridViewModel far;
    far.placeElement({INT64_MAX, 0});
    far.placeElement({0, 0});
    far.setEditSelectedIDs({idAt(far, {INT64_MAX, 0}), idAt(far, {0, 0})});
    const auto before = far.elements();
    far.moveEditSelection(1, 0);
    EXPECT_EQ(far.elements(), before);
    far.moveEditSelection(INT64_MIN, 0);
    EXPECT_EQ(far.elements(), before);
}

TEST_F(Move, ZeroOffsetChangesNothing) {
    model.setEditSelectedIDs({a});
    test::SignalCounter changes(model);
    model.moveEditSelection(0, 0);
    EXPECT_EQ(changes.total(), 0);
}

TEST_F(Move, IDsOfDeletedCellsAreSkipped) {
    model.setEditSelectedIDs({a, QUuid::createUuid()});
    model.moveEditSelection(0, 3);
    EXPECT_EQ(at(a), (GridPosition{1, 4}));
}

TEST(Delete, RemovesTheSelectedCellsAndKeepsTheOrderOfTheRest) {
    GridViewModel model;
    test::placeAll(model, {{0, 0}, {1, 0}, {2, 0}, {3, 0}});
    const QUuid first = idAt(model, {0, 0}), second = idAt(model, {1, 0});
    const QUuid third = idAt(model, {2, 0}), fourth = idAt(model, {3, 0});
    model.selectSingle(second);
    model.setEditSelectedIDs({second, fourth});
    test::SignalCounter changes(model);
    model.deleteEditSelection();
    ASSERT_EQ(model.elements().size(), 2u);
    EXPECT_EQ(model.elements()[0].id, first);
    EXPECT_EQ(model.elements()[1].id, third);
    EXPECT_TRUE(model.editSelectedIDs().isEmpty());
    EXPECT_EQ(model.selectionGroups(), SelectionGroups{{second}});
    EXPECT_EQ(changes.count("elementsChanged"), 1);
    EXPECT_TRUE(model.isDirty());
    expectIndexMatchesElements(model);
}

} // namespace
