// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/KeyNames.h"

#include <QCoreApplication>
#include <QKeySequence>

namespace pexlora {

QString modifierKeySymbol(Qt::KeyboardModifier modifier) {
    // A modifier alone renders as "Shift+" (or "⇧" on macOS); the name is what
    // stands before the joining "+".
    QString text =
        QKeySequence(QKeyCombination::fromCombined(int(modifier))).toString(QKeySequence::NativeText);
    while (text.endsWith(QLatin1Char('+')))
        text.chop(1);
    return text;
}

QString modifierKeyName(Qt::KeyboardModifier modifier) {
#ifdef Q_OS_MACOS
    switch (modifier) {
    case Qt::ShiftModifier:
        return QCoreApplication::translate("pexlora::KeyNames", "Shift");
    case Qt::AltModifier:
        return QCoreApplication::translate("pexlora::KeyNames", "Option");
    case Qt::ControlModifier:
        return QCoreApplication::translate("pexlora::KeyNames", "Command");
    case Qt::MetaModifier:
        return QCoreApplication::translate("pexlora::KeyNames", "Control");
    default:
        return {};
    }
#else
    return modifierKeySymbol(modifier);
#endif
}

} // namespace pexlora
