// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plist/PlistError.h"
#include "plist/PlistValue.h"
#include "util/Result.h"

#include <QByteArrayView>

namespace pexlora {

// Reads an XML property list (<plist version="1.0">). Nesting is limited to
// plistLimits::maxDepth; entity declarations are refused so that no document can
// expand itself.
Result<PlistValue, PlistError> readXmlPropertyList(QByteArrayView bytes);

} // namespace pexlora
