// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <boost/multiprecision/cpp_dec_float.hpp>
#include <optional>

namespace pexlora {

// Exact base-10 arithmetic for channel numbers: repeated steps of 0.1 must land
// on 1.2, 1.3, … and never on 1.2000000000000002.
using Decimal = boost::multiprecision::cpp_dec_float_50;

// Reads "." as the decimal point whatever the user's locale: an optional sign,
// ASCII digits with at most one ".", and at least one digit. Surrounding blanks
// are ignored; anything else does not read as a decimal.
std::optional<Decimal> readDecimal(const QString& text);

// Plain decimal notation without exponent or grouping, and without trailing
// fraction zeros: 2.50 gives "2.5", 3.0 gives "3", 100 stays "100".
QString formatDecimal(const Decimal& value);

} // namespace pexlora
