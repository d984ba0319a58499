// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plist/PlistError.h"
#include "plist/PlistValue.h"
#include "util/Result.h"

#include <QByteArrayView>

namespace pexlora {

// Reads a property list in whichever format it is, binary or XML, after checking
// the size limit.
Result<PlistValue, PlistError> readPropertyList(QByteArrayView bytes);

} // namespace pexlora
