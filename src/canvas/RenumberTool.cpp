// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/RenumberTool.h"

#include "canvas/RenumberSession.h"
#include "model/GridElement.h"

namespace pexlora {

void RenumberTool::pressed(const PointerEvent& event) {
    if (const GridElement* hit = context().hitElement(event.position))
        context().renumberSession().open(hit->id);
}

} // namespace pexlora
