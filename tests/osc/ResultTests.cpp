// SPDX-License-Identifier: GPL-3.0-or-later
// Result lives in util, which is header-only and has no test executable of its own.
#include "util/Result.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace pexlora {
namespace {

TEST(Result, HoldsTheValueOrTheErrorAndSaysWhich) {
    const Result<int, std::string> value = 7;
    ASSERT_TRUE(value.ok());
    EXPECT_TRUE(static_cast<bool>(value));
    EXPECT_EQ(*value, 7);
    EXPECT_EQ(value.value(), 7);

    const Result<int, std::string> error = fail(std::string("refused"));
    ASSERT_FALSE(error.ok());
    EXPECT_FALSE(static_cast<bool>(error));
    EXPECT_EQ(error.error(), "refused");
}

TEST(Result, KeepsTheSidesApartWhenValueAndErrorAreOfOneType) {
    const Result<std::string, std::string> value = std::string("kept");
    const Result<std::string, std::string> error = fail(std::string("kept"));
    ASSERT_TRUE(value.ok());
    EXPECT_EQ(*value, "kept");
    EXPECT_EQ(value->size(), 4u);
    ASSERT_FALSE(error.ok());
    EXPECT_EQ(error.error(), "kept");
}

TEST(Result, CopiesAndAssignmentsCarryTheirSide) {
    Result<std::string, int> changing = std::string("first");
    const Result<std::string, int> error = fail(3);
    changing = error;
    ASSERT_FALSE(changing.ok());
    EXPECT_EQ(changing.error(), 3);
    changing = Result<std::string, int>(std::string("again"));
    ASSERT_TRUE(changing.ok());
    EXPECT_EQ(*changing, "again");
}

TEST(Result, MovesValuesThatCannotBeCopied) {
    Result<std::unique_ptr<int>, std::string> made = std::make_unique<int>(42);
    ASSERT_TRUE(made.ok());
    std::unique_ptr<int> taken = std::move(made).value();
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(*taken, 42);

    const Result<int, std::unique_ptr<int>> refused = fail(std::make_unique<int>(5));
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(*refused.error(), 5);
}

TEST(Result, UnitStandsForNoValue) {
    const Result<Unit, std::string> done = Unit{};
    ASSERT_TRUE(done.ok());
    EXPECT_EQ(*done, Unit{});
    const Result<Unit, std::string> failed = fail(std::string("no"));
    EXPECT_FALSE(failed.ok());
}

} // namespace
} // namespace pexlora
