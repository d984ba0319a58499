#pragma once

#include "plist/PlistValue.h"

#include <QByteArray>

namespace pexlora {

// Encodes a value as a binary property list ("bplist00"). Equal strings, numbers,
// dates and data are written once and referred to from every place they occur,
// which keeps a document's repeated keys and coordinates from bloating the file.
// Cannot fail: every value the type can hold has an encoding, and the traversal
// keeps its own stack, so depth is no concern here.
QByteArray writeBinaryPropertyList(const PlistValue& root);

} // namespace pexlora
