// SPDX-License-Identifier: GPL-3.0-or-later
#include "plist/PropertyList.h"

#include "plist/BinaryPlistReader.h"
#include "plist/PlistText.h"
#include "plist/XmlPlistReader.h"

namespace pexlora {

using namespace Qt::StringLiterals;

namespace {

// XML may open with a byte-order mark and blank space; a UTF-16 text starts
// with its mark or a zero byte next to "<".
bool looksLikeXml(QByteArrayView bytes) {
    if (bytes.startsWith("\xFE\xFF") || bytes.startsWith("\xFF\xFE"))
        return true;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    qsizetype i = 0;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\n' || bytes[i] == '\r'))
        ++i;
    bytes = bytes.sliced(i);
    return bytes.startsWith("<") || bytes.startsWith(QByteArrayView("\0<", 2));
}

} // namespace

Result<PlistValue, PlistError> readPropertyList(QByteArrayView bytes) {
    if (bytes.size() > plistLimits::maxFileSize)
        return fail(PlistError{PlistErrorKind::tooLarge, PlistText::tr("the file is larger than 256 MiB")});
    if (bytes.startsWith("bplist"))
        return readBinaryPropertyList(bytes);
    if (looksLikeXml(bytes))
        return readXmlPropertyList(bytes);
    return fail(
        PlistError{PlistErrorKind::notPropertyList, PlistText::tr("the file is not a property list")});
}

} // namespace pexlora
