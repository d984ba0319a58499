// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>

namespace pexlora {

// The codec's messages are shown to the user when a document cannot be read;
// this is their context for Qt's translation tools.
struct PlistText {
    Q_DECLARE_TR_FUNCTIONS(pexlora::PlistText)
};

} // namespace pexlora
