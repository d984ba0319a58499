#include "plist/XmlPlistReader.h"

#include <QDateTime>
#include <QXmlStreamReader>
#include <cmath>
#include <limits>
#include <optional>

namespace pexlora {

using namespace Qt::StringLiterals;

namespace {

// The reference date of property lists, 2001-01-01 00:00:00 UTC, in Unix seconds.
constexpr double referenceDateUnixSeconds = 978307200.0;

std::optional<PlistValue> parseInteger(QStringView text) {
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'-' || text.front() == u'+')) {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    int base = 10;
    if (text.startsWith(u"0x") || text.startsWith(u"0X")) {
        base = 16;
        text = text.mid(2);
    }
    if (text.isEmpty())
        return std::nullopt;
    std::uint64_t magnitude = 0;
    for (const QChar c : text) {
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c.unicode() - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c.unicode() - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c.unicode() - u'A' + 10;
        if (digit < 0)
            return std::nullopt;
        if (magnitude >
            (std::numeric_limits<std::uint64_t>::max() - std::uint64_t(digit)) / std::uint64_t(base))
            return std::nullopt;
        magnitude = magnitude * std::uint64_t(base) + std::uint64_t(digit);
    }
    if (!negative)
        return PlistValue(magnitude);
    if (magnitude > std::uint64_t(1) << 63)
        return std::nullopt;
    return PlistValue(std::int64_t(0 - magnitude));
}

std::optional<double> parseReal(QStringView text) {
    const QString lower = text.trimmed().toString().toLower();
    if (lower == u"nan"_s)
        return std::numeric_limits<double>::quiet_NaN();
    if (lower == u"inf"_s || lower == u"+inf"_s || lower == u"infinity"_s || lower == u"+infinity"_s)
        return std::numeric_limits<double>::infinity();
    if (lower == u"-inf"_s || lower == u"-infinity"_s)
        return -std::numeric_limits<double>::infinity();
    bool ok = false;
    const double value = lower.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Property lists are written in UTF-8 (or now and then UTF-16); anything else
// would go through the system's converters for no document that exists.
bool isPlainEncoding(QStringView encoding) {
    for (const QStringView plain :
         {u"", u"UTF-8", u"UTF-16", u"UTF-16LE", u"UTF-16BE", u"US-ASCII", u"ISO-8859-1"}) {
        if (encoding.compare(plain, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : m_xml(QByteArray::fromRawData(bytes.data(), bytes.size())) {}

    Result<PlistValue, PlistError> read() {
        std::optional<PlistValue> value = readDocument();
        if (!value)
            return fail(std::move(*m_error));
        return std::move(*value);
    }

private:
    std::nullopt_t failWith(PlistErrorKind kind, QString message) {
        if (!m_error)
            m_error = PlistError{kind, std::move(message)};
        return std::nullopt;
    }

    std::nullopt_t damaged(const QString& message) {
        return failWith(PlistErrorKind::malformed, u"%1 at line %2"_s.arg(message).arg(m_xml.lineNumber()));
    }

    std::optional<PlistValue> readDocument() {
        if (!nextElement())
            return std::nullopt;
        if (!m_xml.isStartElement() || m_xml.name() != u"plist")
            return failWith(PlistErrorKind::notPropertyList, u"the XML document is not a property list"_s);
        if (!nextElement())
            return std::nullopt;
        if (m_xml.isEndElement())
            return damaged(u"the property list holds no value"_s);
        std::optional<PlistValue> value = readValue(0);
        if (!value || !nextElement())
            return std::nullopt;
        if (!m_xml.isEndElement())
            return damaged(u"the property list holds more than one value"_s);
        while (!m_xml.atEnd()) {
            const auto token = m_xml.readNext();
            if (token == QXmlStreamReader::Invalid)
                return xmlError();
            if (token == QXmlStreamReader::Characters && !m_xml.isWhitespace())
                return damaged(u"text follows the property list"_s);
        }
        return value;
    }

    std::nullopt_t xmlError() {
        if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            return damaged(u"the XML ends early"_s);
        return damaged(u"the XML is not well-formed (%1)"_s.arg(m_xml.errorString()));
    }

    // Moves to the next start or end tag. Whitespace, comments and processing
    // instructions between values carry nothing.
    bool nextElement() {
        for (;;) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::StartElement:
            case QXmlStreamReader::EndElement:
                return true;
            case QXmlStreamReader::Characters:
                if (!m_xml.isWhitespace()) {
                    damaged(u"text stands outside a value"_s);
                    return false;
                }
                break;
            case QXmlStreamReader::StartDocument:
                if (!isPlainEncoding(m_xml.documentEncoding())) {
                    failWith(PlistErrorKind::unsupported,
                             u"the XML is in the encoding “%1”, not UTF-8 or UTF-16"_s.arg(
                                 m_xml.documentEncoding().left(40)));
                    return false;
                }
                break;
            case QXmlStreamReader::DTD:
                if (!m_xml.entityDeclarations().isEmpty()) {
                    failWith(PlistErrorKind::unsupported, u"the XML declares entities"_s);
                    return false;
                }
                break;
            case QXmlStreamReader::EntityReference:
                damaged(u"the XML refers to an undeclared entity"_s);
                return false;
            case QXmlStreamReader::EndDocument:
                damaged(u"the XML ends early"_s);
                return false;
            case QXmlStreamReader::Invalid:
                xmlError();
                return false;
            default:
                break;
            }
        }
    }

    // The text of a leaf element. Unlike readElementText() this refuses an entity
    // the reader could not resolve instead of dropping it silently.
    std::optional<QString> readText() {
        QString text;
        for (;;) {
            switch (m_xml.readNext()) {
            case QXmlStreamReader::Characters:
                text += m_xml.text();
                break;
            case QXmlStreamReader::EndElement:
                return text;
            case QXmlStreamReader::StartElement:
                return damaged(u"<%1> stands inside a text"_s.arg(m_xml.name().left(40)));
            case QXmlStreamReader::EntityReference:
                return damaged(u"the XML refers to an undeclared entity"_s);
            case QXmlStreamReader::Invalid:
                return xmlError();
            default:
                break;
            }
        }
    }

    std::optional<PlistValue> readValue(int depth) {
        if (++m_nodes > plistLimits::maxNodes)
            return failWith(PlistErrorKind::tooManyNodes, u"the file holds too many values"_s);
        const QStringView name = m_xml.name();
        if (name == u"dict" || name == u"array") {
            if (depth >= plistLimits::maxDepth)
                return failWith(PlistErrorKind::tooDeep,
                                u"containers are nested deeper than %1 levels"_s.arg(plistLimits::maxDepth));
            return name == u"dict" ? readDictionary(depth + 1) : readArray(depth + 1);
        }
        const QString element = name.toString();
        std::optional<QString> text = readText();
        if (!text)
            return std::nullopt;
        if (element == u"string"_s)
            return PlistValue(std::move(*text));
        if (element == u"true"_s || element == u"false"_s) {
            if (!text->trimmed().isEmpty())
                return damaged(u"<%1> holds text"_s.arg(element));
            return PlistValue(element == u"true"_s);
        }
        if (element == u"integer"_s) {
            if (std::optional<PlistValue> value = parseInteger(*text))
                return value;
            return damaged(u"“%1” is not a 64-bit integer"_s.arg(text->left(40)));
        }
        if (element == u"real"_s) {
            if (std::optional<double> value = parseReal(*text))
                return PlistValue(*value);
            return damaged(u"“%1” is not a real number"_s.arg(text->left(40)));
        }
        if (element == u"date"_s) {
            const QDateTime date = QDateTime::fromString(text->trimmed(), Qt::ISODate);
            if (!date.isValid())
                return damaged(u"“%1” is not a date"_s.arg(text->left(40)));
            return PlistValue(
                PlistDate{double(date.toMSecsSinceEpoch()) / 1000.0 - referenceDateUnixSeconds});
        }
        if (element == u"data"_s) {
            QByteArray base64 = text->toLatin1();
            base64.removeIf([](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
            auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded)
                return damaged(u"<data> is not valid base64"_s);
            return PlistValue(std::move(*decoded));
        }
        if (element == u"key"_s)
            return damaged(u"a <key> stands outside a dictionary"_s);
        return damaged(u"<%1> is not a property-list element"_s.arg(element.left(40)));
    }

    std::optional<PlistValue> readArray(int depth) {
        PlistArray array;
        for (;;) {
            if (!nextElement())
                return std::nullopt;
            if (m_xml.isEndElement())
                return PlistValue(std::move(array));
            std::optional<PlistValue> item = readValue(depth);
            if (!item)
                return std::nullopt;
            array.push_back(std::move(*item));
        }
    }

    std::optional<PlistValue> readDictionary(int depth) {
        PlistDictionary dictionary;
        for (;;) {
            if (!nextElement())
                return std::nullopt;
            if (m_xml.isEndElement())
                return PlistValue(std::move(dictionary));
            if (m_xml.name() != u"key")
                return damaged(u"a dictionary holds <%1> where a <key> belongs"_s.arg(m_xml.name().left(40)));
            std::optional<QString> key = readText();
            if (!key || !nextElement())
                return std::nullopt;
            if (m_xml.isEndElement())
                return damaged(u"the key “%1” has no value"_s.arg(key->left(40)));
            std::optional<PlistValue> value = readValue(depth);
            if (!value)
                return std::nullopt;
            dictionary.insert(*key, std::move(*value));
        }
    }

    QXmlStreamReader m_xml;
    std::optional<PlistError> m_error;
    std::int64_t m_nodes = 0;
};

} // namespace

Result<PlistValue, PlistError> readXmlPropertyList(QByteArrayView bytes) {
    return Reader(bytes).read();
}

} // namespace pexlora
