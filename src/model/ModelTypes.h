// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUuid>
#include <vector>

namespace pexlora {

enum class AppMode { edit, select };

enum class EditTool { selectElement, addElement, renumber, quickRenumber };

// The modifier held while a select-mode marquee is dragged; it picks the
// ordering rule of the resulting selection.
enum class MarqueeModifier { none, option, command, shift, control };

// Ordered groups of element IDs: the select-mode selection as it leaves the model.
using SelectionGroups = std::vector<std::vector<QUuid>>;

} // namespace pexlora
