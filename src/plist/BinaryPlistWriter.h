// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plist/PlistValue.h"

#include <QByteArray>

namespace pexlora {

// Encodes a value as a binary property list ("bplist00"). Equal numbers and dates
// are written once and referred to from every place they occur, and so are equal
// strings and data whose blocks are shared (a literal, a key reused in every
// dictionary, a text the model holds too), which keeps a document's repeated keys
// and coordinates from bloating the file. A block held by this tree alone is
// written where it stands.
// Cannot fail: every value the type can hold has an encoding, and the traversal
// keeps its own stack, so depth is no concern here.
QByteArray writeBinaryPropertyList(const PlistValue& root);

} // namespace pexlora
