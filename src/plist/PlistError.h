// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>

namespace pexlora {

// The hard limits every reader enforces, so that no file can make it crash,
// hang or exhaust memory.
namespace plistLimits {
inline constexpr std::int64_t maxFileSize = 256 * 1024 * 1024;
inline constexpr int maxDepth = 64;
// A reference graph is read as a tree; sharing may multiply the nodes by at most
// this much over the file's own object count before reading stops.
inline constexpr std::int64_t nodesPerObject = 10;
// Whatever the file's size, no read produces more values than this: a 256 MiB
// file of one-byte references would otherwise unfold into some 12 GB of values.
// A 32,768-cell layout needs about 230,000.
inline constexpr std::int64_t maxNodes = 16 * 1024 * 1024;
// The memory a read may fill with values: eight times the file plus 64 MiB, and
// never more than 256 MiB. Shared objects are decoded once and count once, so
// only a file that really holds that much text or data comes near it.
inline constexpr std::int64_t materialisedBytesPerFileByte = 8;
inline constexpr std::int64_t materialisedBytesAllowance = 64 * 1024 * 1024;
inline constexpr std::int64_t maxMaterialisedBytes = 256 * 1024 * 1024;
// A property list puts "version" on <plist> and nothing on other elements.
// The XML parser compares every attribute of a tag with all the others, so a
// tag with 100,000 of them would take seconds.
inline constexpr int maxXmlAttributes = 8;
} // namespace plistLimits

enum class PlistErrorKind {
    notPropertyList, // neither binary nor XML property list
    tooLarge,        // beyond maxFileSize
    malformed,       // damaged or inconsistent structure
    tooDeep,         // nesting beyond maxDepth
    cyclic,          // a container refers back to itself
    tooManyNodes,    // shared references would blow the tree up
    tooMuchMemory,   // the values would take more memory than the file justifies
    unsupported,     // a valid object kind we do not read (sets, UIDs, …)
};

struct PlistError {
    PlistErrorKind kind;
    // Plain English, lower case, without a final period, so that callers can
    // embed it in a sentence for the user.
    QString message;
};

} // namespace pexlora
