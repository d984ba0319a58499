// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/NumberRefusal.h"

#include <QCoreApplication>

namespace pexlora {

QString numberRefusal(NumberTextProblem problem) {
    switch (problem) {
    case NumberTextProblem::empty:
        return QCoreApplication::translate("pexlora::NumberRefusal", "Type a number");
    case NumberTextProblem::notDigits:
        return QCoreApplication::translate("pexlora::NumberRefusal", "Only digits, with at most one point");
    case NumberTextProblem::missingDigits:
        return QCoreApplication::translate("pexlora::NumberRefusal",
                                           "Digits are needed on both sides of the point");
    case NumberTextProblem::wholePartTooLong:
        return QCoreApplication::translate("pexlora::NumberRefusal", "At most %1 digits before the point")
            .arg(maxNumberPartLength);
    case NumberTextProblem::fractionTooLong:
        return QCoreApplication::translate("pexlora::NumberRefusal", "At most %1 digits after the point")
            .arg(maxNumberPartLength);
    }
    return {};
}

} // namespace pexlora
