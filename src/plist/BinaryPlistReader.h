// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plist/PlistError.h"
#include "plist/PlistValue.h"
#include "util/Result.h"

#include <QByteArrayView>

namespace pexlora {

// Reads a binary property list ("bplist00"). Every offset, count and reference is
// checked against the file before it is followed, nesting is limited to
// plistLimits::maxDepth, cycles are refused, and a reference graph that shares
// containers is read as a tree only up to a node budget, so hostile files fail
// in time linear in their size.
Result<PlistValue, PlistError> readBinaryPropertyList(QByteArrayView bytes);

} // namespace pexlora
