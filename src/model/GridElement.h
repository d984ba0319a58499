// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHashFunctions>
#include <QString>
#include <QUuid>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace pexlora {

// A place on the grid. Positions the program creates are never negative; a
// position read from a file is taken as stored.
struct GridPosition {
    std::int64_t col = 0;
    std::int64_t row = 0;

    friend bool operator==(const GridPosition&, const GridPosition&) = default;
};

inline std::size_t qHash(const GridPosition& p, std::size_t seed = 0) noexcept {
    return qHashMulti(seed, p.col, p.row);
}

// One cell of the layout. Everything outside the element list refers to a cell by `id`.
struct GridElement {
    QUuid id;
    GridPosition position;
    QString numberString;

    friend bool operator==(const GridElement&, const GridElement&) = default;
};

using GridElements = std::vector<GridElement>;

// The rule every number a user types has to pass: one to four number
// characters, optionally "." and one to four more.
bool isValidNumberString(const QString& text);

inline constexpr int maxNumberPartLength = 4;

// What the rule above finds wrong with a text, so that a refusal can say why.
enum class NumberTextProblem {
    empty,
    notDigits,        // a character that is no number character, or a second "."
    missingDigits,    // nothing on one side of the "."
    wholePartTooLong, // more than maxNumberPartLength before the "."
    fractionTooLong,  // more than maxNumberPartLength after it
};
// Nothing for a text that passes isValidNumberString().
std::optional<NumberTextProblem> numberTextProblem(const QString& text);

// The whole text read as a signed decimal integer ("+"/"-" and ASCII digits only).
std::optional<std::int64_t> integerValue(const QString& text);

// The smallest positive integer that no element's number text stands for.
QString nextFreeNumber(const GridElements& elements);

} // namespace pexlora

template <> struct std::hash<pexlora::GridPosition> {
    std::size_t operator()(const pexlora::GridPosition& p) const noexcept { return pexlora::qHash(p); }
};
