// SPDX-License-Identifier: GPL-3.0-or-later
#include "plist/ReadBudget.h"

#include "plist/PlistText.h"
#include "plist/PlistValue.h"

#include <algorithm>

namespace pexlora {

using namespace Qt::StringLiterals;

namespace {

// What the allocator and Qt's shared-data header add to every text or data block.
constexpr std::int64_t blockOverhead = 32;
constexpr auto valueBytes = std::int64_t(sizeof(PlistValue));

// A count read from the file can be anything: saturate instead of overflowing.
std::int64_t bounded(std::uint64_t count, std::uint64_t unit) {
    const auto limit = std::uint64_t(plistLimits::maxMaterialisedBytes);
    return count > limit / unit ? std::int64_t(limit) + 1 : std::int64_t(count * unit);
}

} // namespace

ReadBudget::ReadBudget(std::int64_t fileSize, std::int64_t values, QString nodeMessage)
    : m_valuesLeft(values)
    , m_byteLimit(std::min(plistLimits::materialisedBytesPerFileByte * std::max<std::int64_t>(fileSize, 0) +
                               plistLimits::materialisedBytesAllowance,
                           plistLimits::maxMaterialisedBytes))
    , m_nodeMessage(std::move(nodeMessage)) {
    m_bytesLeft = m_byteLimit;
}

Result<Unit, PlistError> ReadBudget::takeValue(std::int64_t payloadBytes) {
    if (--m_valuesLeft < 0)
        return fail(PlistError{PlistErrorKind::tooManyNodes, m_nodeMessage});
    return takeBytes(valueBytes + payloadBytes);
}

Result<Unit, PlistError> ReadBudget::takeBytes(std::int64_t bytes) {
    m_bytesLeft -= bytes;
    if (m_bytesLeft < 0)
        return fail(PlistError{PlistErrorKind::tooMuchMemory,
                               PlistText::tr("the file's values would take more than %1 MiB of memory")
                                   .arg(m_byteLimit / (1024 * 1024))});
    return Unit{};
}

std::int64_t ReadBudget::valuesLeft() const {
    return std::max<std::int64_t>(std::min(m_valuesLeft, m_bytesLeft / valueBytes), 0);
}

std::int64_t ReadBudget::textBytes(std::uint64_t units) {
    return units == 0 ? 0 : bounded(units, 2) + blockOverhead;
}

std::int64_t ReadBudget::dataBytes(std::uint64_t bytes) {
    return bytes == 0 ? 0 : bounded(bytes, 1) + blockOverhead;
}

} // namespace pexlora
