// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plist/PlistError.h"
#include "util/Result.h"

#include <QByteArrayView>
#include <QStringView>

namespace pexlora {

// How the XML parser will decode a document's bytes, found as the parser finds
// it: from a byte-order mark or the code units of the opening "<", plain bytes
// (UTF-8 and its ASCII-compatible kin) otherwise.
struct XmlEncoding {
    int unitWidth = 1; // 1, 2 or 4 bytes
    bool bigEndian = false;
    bool byteOrderMark = false;
};

XmlEncoding detectXmlEncoding(QByteArrayView bytes);

// The parser switches to the encoding a document declares. Only UTF-8, UTF-16
// and Latin-1 are read, and only when the declaration keeps the code units the
// markup scan saw: otherwise the rest would decode into markup it never checked.
Result<Unit, PlistError> checkDeclaredEncoding(const XmlEncoding& encoding, QStringView declared);

// Checks the markup before the parser builds anything from it: no start tag has
// more than plistLimits::maxXmlAttributes attributes, and no text or attribute
// refers to an entity other than the five predefined ones or a character.
// Linear in the size; comments, CDATA sections and processing instructions are
// skipped as the parser skips them.
Result<Unit, PlistError> scanXmlMarkup(QByteArrayView bytes, const XmlEncoding& encoding);

} // namespace pexlora
