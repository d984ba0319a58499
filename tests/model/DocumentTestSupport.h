// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridElement.h"
#include "model/PersistedState.h"
#include "plist/PlistValue.h"
#include "support/TestProcess.h"

#include <QString>
#include <gtest/gtest.h>
#include <initializer_list>
#include <utility>

namespace pexlora::test {

inline PlistDictionary plistDictionary(std::initializer_list<std::pair<QString, PlistValue>> entries) {
    PlistDictionary result;
    for (const auto& [key, value] : entries)
        result.insert(key, value);
    return result;
}

// A small layout with everything a file can carry: negative positions, number
// texts that are no valid input, non-ASCII text, zoom and pan off their defaults.
inline PersistedState sampleState() {
    PersistedState state;
    state.elements = {
        {QUuid::fromString(QStringLiteral("6f1c0b52-3a43-4a8e-9d0c-0f2a5e7b9c11")),
         {0, 0},
         QStringLiteral("1")},
        {QUuid::fromString(QStringLiteral("A0000000-0000-4000-8000-000000000002")),
         {-3, 7},
         QStringLiteral("12.5")},
        {QUuid::fromString(QStringLiteral("FFFFFFFF-FFFF-4FFF-BFFF-FFFFFFFFFFFF")),
         {100000, -1},
         QString::fromUtf8("\xD9\xA3 not a number")},
        {QUuid::fromString(QStringLiteral("12345678-9abc-4def-8123-456789abcdef")), {4, 2}, QString()},
    };
    state.zoomScale = 2.25;
    state.panOffsetWidth = -30.5;
    state.panOffsetHeight = 1024.0;
    return state;
}

} // namespace pexlora::test
