// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes, read as a property list and as a document: the readers must refuse
// or accept without crashing, and whatever they accept must survive a round trip.
#include "model/PersistedState.h"
#include "plist/BinaryPlistReader.h"
#include "plist/BinaryPlistWriter.h"
#include "plist/PropertyList.h"

#include <cstdint>
#include <cstdlib>

using namespace pexlora;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, qsizetype(size));

    const auto plist = readPropertyList(bytes);
    if (plist.ok()) {
        // Compared as written bytes, because a NaN never equals itself.
        const QByteArray written = writeBinaryPropertyList(plist.value());
        const auto again = readBinaryPropertyList(written);
        if (!again.ok() || writeBinaryPropertyList(again.value()) != written)
            std::abort();
    }

    const auto document = decodePersistedState(bytes);
    if (document.ok()) {
        const auto again = decodePersistedState(encodePersistedState(document.value()));
        if (!again.ok() || !(again.value() == document.value()))
            std::abort();
    }
    return 0;
}
