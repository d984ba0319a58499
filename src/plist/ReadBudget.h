// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plist/PlistError.h"
#include "util/Result.h"

#include <QString>
#include <cstdint>

namespace pexlora {

// What one read may still build: a number of values, and the bytes of memory
// they take (each value's own slot, plus any text or data that it alone owns;
// a dictionary key counts as a value). A text shared by many values is charged
// once, where it is decoded.
class ReadBudget {
public:
    // `values` is the reader's own cap; `nodeMessage` says why it was reached.
    ReadBudget(std::int64_t fileSize, std::int64_t values, QString nodeMessage);

    // One more value, owning `payloadBytes` that no other value shares.
    Result<Unit, PlistError> takeValue(std::int64_t payloadBytes = 0);
    // Memory beside the values themselves, such as a dictionary key's slot.
    Result<Unit, PlistError> takeBytes(std::int64_t bytes);

    // How many more values there is room for: what a container may reserve.
    std::int64_t valuesLeft() const;

    // The payload of a text of `units` UTF-16 code units or of `bytes` bytes.
    static std::int64_t textBytes(std::uint64_t units);
    static std::int64_t dataBytes(std::uint64_t bytes);

private:
    std::int64_t m_valuesLeft;
    std::int64_t m_bytesLeft;
    std::int64_t m_byteLimit;
    QString m_nodeMessage;
};

} // namespace pexlora
