// SPDX-License-Identifier: GPL-3.0-or-later
#include "plist/XmlMarkupScan.h"

#include "plist/PlistText.h"

#include <QString>
#include <QStringDecoder>
#include <string_view>

namespace pexlora {

using namespace Qt::StringLiterals;

namespace {

// The document as code units; only those below 0x80 can be markup, and in every
// encoding read here such a unit is exactly that ASCII character.
class Units {
public:
    Units(QByteArrayView bytes, const XmlEncoding& encoding)
        : m_data(reinterpret_cast<const unsigned char*>(bytes.data()))
        , m_count(bytes.size() / encoding.unitWidth)
        , m_width(encoding.unitWidth)
        , m_bigEndian(encoding.bigEndian) {}

    qsizetype count() const { return m_count; }

    char32_t at(qsizetype i) const {
        const unsigned char* unit = m_data + i * m_width;
        char32_t value = 0;
        for (qsizetype b = 0; b < m_width; ++b)
            value |= char32_t(unit[m_bigEndian ? b : m_width - 1 - b]) << (8 * (m_width - 1 - b));
        return value;
    }

    bool startsWith(qsizetype i, std::string_view text) const {
        if (qsizetype(text.size()) > m_count - i)
            return false;
        for (std::size_t k = 0; k < text.size(); ++k) {
            if (at(i + qsizetype(k)) != char32_t(text[k]))
                return false;
        }
        return true;
    }

    // The index just past the next `end` from `i` on, or the end of the document.
    qsizetype skipPast(qsizetype i, std::string_view end) const {
        for (; i < m_count; ++i) {
            if (startsWith(i, end))
                return i + qsizetype(end.size());
        }
        return m_count;
    }

private:
    const unsigned char* m_data;
    qsizetype m_count;
    qsizetype m_width;
    bool m_bigEndian;
};

class Scanner {
public:
    explicit Scanner(const Units& units)
        : m_units(units) {}

    Result<Unit, PlistError> run() {
        qsizetype i = 0;
        while (i < m_units.count()) {
            const char32_t c = m_units.at(i);
            if (c == u'&') {
                if (auto checked = checkReference(i); !checked)
                    return checked;
                ++i;
            } else if (c != u'<') {
                ++i;
            } else if (m_units.startsWith(i, "<!--")) {
                i = m_units.skipPast(i + 4, "-->");
            } else if (m_units.startsWith(i, "<![CDATA[")) {
                i = m_units.skipPast(i + 9, "]]>");
            } else if (m_units.startsWith(i, "<?")) {
                i = m_units.skipPast(i + 2, "?>");
            } else {
                auto end = scanTag(i);
                if (!end)
                    return fail(end.error());
                i = *end;
            }
        }
        return Unit{};
    }

private:
    // A tag or declaration from its "<" to its ">" outside quotes; each "="
    // outside quotes starts an attribute's value. Returns where scanning goes on.
    Result<qsizetype, PlistError> scanTag(qsizetype i) {
        int attributes = 0;
        char32_t quote = 0;
        for (++i; i < m_units.count(); ++i) {
            const char32_t c = m_units.at(i);
            if (quote != 0) {
                if (c == quote)
                    quote = 0;
                else if (c == u'&')
                    if (auto checked = checkReference(i); !checked)
                        return fail(checked.error());
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (c == u'=' && ++attributes > plistLimits::maxXmlAttributes) {
                return fail(PlistError{PlistErrorKind::unsupported,
                                       PlistText::tr("an element of the XML has more than %1 attributes")
                                           .arg(plistLimits::maxXmlAttributes)});
            } else if (c == u'>') {
                return i + 1;
            } else if (c == u'<') {
                return i;
            }
        }
        return i;
    }

    // `i` is at a "&". Character references and the five predefined entities are
    // all the parser may resolve: nothing else is ever expanded or dropped.
    Result<Unit, PlistError> checkReference(qsizetype i) const {
        constexpr qsizetype longestShown = 40;
        QString name;
        for (qsizetype k = i + 1; k < m_units.count() && name.size() < longestShown; ++k) {
            const char32_t c = m_units.at(k);
            if (c == u';' || c == u'<' || c == u'&' || c == u'"' || c == u'\'' || c <= u' ')
                break;
            name.append(c < 0x10000 ? QChar(char16_t(c)) : QChar(u'?'));
        }
        if (name.startsWith(u'#'))
            return Unit{};
        for (const QStringView predefined : {u"amp", u"lt", u"gt", u"quot", u"apos"}) {
            if (name == predefined)
                return Unit{};
        }
        return fail(PlistError{
            PlistErrorKind::unsupported,
            PlistText::tr("the XML refers to the entity “%1”, which is not one of the five predefined")
                .arg(name)});
    }

    const Units& m_units;
};

bool isOneOf(QStringView text, std::initializer_list<QStringView> names) {
    for (const QStringView name : names) {
        if (text.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

XmlEncoding detectXmlEncoding(QByteArrayView bytes) {
    XmlEncoding encoding;
    encoding.byteOrderMark =
        bytes.startsWith("\xFE\xFF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xEF\xBB\xBF");
    switch (QStringDecoder::encodingForData(bytes, u'<').value_or(QStringConverter::Utf8)) {
    case QStringConverter::Utf16:
        encoding = {2, QSysInfo::ByteOrder == QSysInfo::BigEndian, encoding.byteOrderMark};
        break;
    case QStringConverter::Utf16LE:
        encoding = {2, false, encoding.byteOrderMark};
        break;
    case QStringConverter::Utf16BE:
        encoding = {2, true, encoding.byteOrderMark};
        break;
    case QStringConverter::Utf32:
        encoding = {4, QSysInfo::ByteOrder == QSysInfo::BigEndian, encoding.byteOrderMark};
        break;
    case QStringConverter::Utf32LE:
        encoding = {4, false, encoding.byteOrderMark};
        break;
    case QStringConverter::Utf32BE:
        encoding = {4, true, encoding.byteOrderMark};
        break;
    default:
        break;
    }
    return encoding;
}

Result<Unit, PlistError> checkDeclaredEncoding(const XmlEncoding& encoding, QStringView declared) {
    if (!isOneOf(declared, {u"", u"UTF-8", u"UTF-16", u"UTF-16LE", u"UTF-16BE", u"US-ASCII", u"ISO-8859-1"}))
        return fail(PlistError{
            PlistErrorKind::unsupported,
            PlistText::tr("the XML is in the encoding “%1”, not UTF-8 or UTF-16").arg(declared.left(40))});
    bool agrees = declared.isEmpty();
    if (encoding.unitWidth == 1)
        agrees = agrees || !declared.startsWith(u"UTF-16", Qt::CaseInsensitive);
    else if (encoding.unitWidth == 2)
        // Without a byte-order mark a bare "UTF-16" would be read in the machine's own byte order.
        agrees = agrees ||
                 (declared.compare(u"UTF-16", Qt::CaseInsensitive) == 0 && encoding.byteOrderMark) ||
                 declared.compare(encoding.bigEndian ? u"UTF-16BE" : u"UTF-16LE", Qt::CaseInsensitive) == 0;
    if (!agrees)
        return fail(PlistError{
            PlistErrorKind::malformed,
            PlistText::tr("the XML declares the encoding “%1” but is written in another").arg(declared)});
    return Unit{};
}

Result<Unit, PlistError> scanXmlMarkup(QByteArrayView bytes, const XmlEncoding& encoding) {
    const Units units(bytes, encoding);
    return Scanner(units).run();
}

} // namespace pexlora
