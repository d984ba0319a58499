// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridElement.h"
#include "util/Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace pexlora {

// The stored record of a document: the layout and where it was last looked at.
struct PersistedState {
    GridElements elements;
    double zoomScale = 1.0;
    double panOffsetWidth = 0.0;
    double panOffsetHeight = 0.0;

    friend bool operator==(const PersistedState&, const PersistedState&) = default;
};

// Why a document could not be read, in words fit to show the user.
struct DocumentError {
    QString message;
};

// A binary property list with the keys "elements", "zoomScale", "panOffsetWidth" and "panOffsetHeight".
QByteArray encodePersistedState(const PersistedState& state);

// Reads a binary or XML property list.
Result<PersistedState, DocumentError> decodePersistedState(QByteArrayView bytes);

} // namespace pexlora
