// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/GridViewModel.h"
#include "model/PersistedState.h"

namespace pexlora {

PersistedState GridViewModel::persistedState() const {
    return {elements(), m_zoomScale, m_panOffset.width(), m_panOffset.height()};
}

Result<Unit, DocumentError> GridViewModel::restore(QByteArrayView bytes) {
    auto decoded = decodePersistedState(bytes);
    if (!decoded)
        return fail(decoded.error());
    PersistedState& state = decoded.value();
    setElements(std::move(state.elements));
    setZoomScale(state.zoomScale);
    setPanOffset({state.panOffsetWidth, state.panOffsetHeight});
    setSelectionGroups({});
    setSelectionModifier(MarqueeModifier::none);
    setEditSelectedIDs({});
    setDirty(false);
    return Unit{};
}

} // namespace pexlora
