// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <Qt>

namespace pexlora {

// How the desktop names a modifier key: the glyphs ⇧ ⌥ ⌘ ⌃ on macOS, the words
// "Shift", "Alt", "Ctrl", "Meta" elsewhere.
QString modifierKeySymbol(Qt::KeyboardModifier modifier);

// The same key in words, for screen readers.
QString modifierKeyName(Qt::KeyboardModifier modifier);

} // namespace pexlora
