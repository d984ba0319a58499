// SPDX-License-Identifier: GPL-3.0-or-later
#include "plist/XmlPlistReader.h"

#include "plist/PlistText.h"
#include "plist/ReadBudget.h"
#include "plist/XmlMarkupScan.h"

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

Failure<PlistError> unexpected(PlistErrorKind kind, QString message) {
    return fail(PlistError{kind, std::move(message)});
}

class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : m_bytes(bytes)
        , m_xml(QByteArray::fromRawData(bytes.data(), bytes.size()))
        , m_encoding(detectXmlEncoding(bytes))
        , m_budget(bytes.size(), plistLimits::maxNodes, PlistText::tr("the file holds too many values")) {}

    Result<PlistValue, PlistError> read() {
        if (auto scanned = scanXmlMarkup(m_bytes, m_encoding); !scanned)
            return fail(scanned.error());
        auto started = nextElement();
        if (!started)
            return fail(started.error());
        if (!m_xml.isStartElement() || m_xml.name() != u"plist")
            return unexpected(PlistErrorKind::notPropertyList,
                              PlistText::tr("the XML document is not a property list"));
        if (auto first = nextElement(); !first)
            return fail(first.error());
        if (m_xml.isEndElement())
            return damaged(PlistText::tr("the property list holds no value"));
        auto value = readValue(0);
        if (!value)
            return value;
        if (auto closed = nextElement(); !closed)
            return fail(closed.error());
        if (!m_xml.isEndElement())
            return damaged(PlistText::tr("the property list holds more than one value"));
        while (!m_xml.atEnd()) {
            const auto token = next();
            if (!token)
                return fail(token.error());
            if (*token == QXmlStreamReader::Characters && !m_xml.isWhitespace())
                return damaged(PlistText::tr("text follows the property list"));
        }
        return value;
    }

private:
    Failure<PlistError> damaged(const QString& message) const {
        return unexpected(PlistErrorKind::malformed,
                          PlistText::tr("%1 at line %2").arg(message).arg(m_xml.lineNumber()));
    }

    Failure<PlistError> xmlError() const {
        if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            return damaged(PlistText::tr("the XML ends early"));
        return damaged(PlistText::tr("the XML is not well-formed (%1)").arg(m_xml.errorString()));
    }

    // The next token, with what the XML as a whole must obey: well-formed, in an
    // encoding we read, and with no document type beyond the bare line writers
    // put before <plist> (which names a DTD that is never loaded).
    Result<QXmlStreamReader::TokenType, PlistError> next() {
        const auto token = m_xml.readNext();
        switch (token) {
        case QXmlStreamReader::Invalid:
            return xmlError();
        case QXmlStreamReader::StartDocument:
            if (auto agreed = checkDeclaredEncoding(m_encoding, m_xml.documentEncoding()); !agreed)
                return fail(agreed.error());
            break;
        case QXmlStreamReader::DTD:
            if (m_rootStarted)
                return damaged(PlistText::tr("a document type declaration stands inside the property list"));
            if (m_xml.text().contains(u'['))
                return unexpected(PlistErrorKind::unsupported,
                                  PlistText::tr("the XML declares a document type of its own"));
            break;
        case QXmlStreamReader::StartElement:
            m_rootStarted = true;
            break;
        case QXmlStreamReader::EntityReference:
            // The markup scan refuses these first; never let one be dropped.
            return damaged(PlistText::tr("the XML refers to an undeclared entity"));
        default:
            break;
        }
        return token;
    }

    // Moves to the next start or end tag. Whitespace, comments and processing
    // instructions between values carry nothing.
    Result<Unit, PlistError> nextElement() {
        for (;;) {
            const auto token = next();
            if (!token)
                return fail(token.error());
            switch (*token) {
            case QXmlStreamReader::StartElement:
            case QXmlStreamReader::EndElement:
                return Unit{};
            case QXmlStreamReader::Characters:
                if (!m_xml.isWhitespace())
                    return damaged(PlistText::tr("text stands outside a value"));
                break;
            case QXmlStreamReader::EndDocument:
                return damaged(PlistText::tr("the XML ends early"));
            default:
                break;
            }
        }
    }

    // The text of a leaf element. Unlike readElementText() this refuses an
    // entity the reader could not resolve instead of dropping it silently.
    Result<QString, PlistError> readText() {
        QString text;
        for (;;) {
            const auto token = next();
            if (!token)
                return fail(token.error());
            switch (*token) {
            case QXmlStreamReader::Characters:
                text += m_xml.text();
                break;
            case QXmlStreamReader::EndElement:
                return text;
            case QXmlStreamReader::StartElement:
                return damaged(PlistText::tr("<%1> stands inside a text").arg(m_xml.name().left(40)));
            default:
                break;
            }
        }
    }

    Result<PlistValue, PlistError> readValue(int depth) {
        const QStringView name = m_xml.name();
        if (name == u"dict" || name == u"array") {
            if (auto taken = m_budget.takeValue(); !taken)
                return fail(taken.error());
            if (depth >= plistLimits::maxDepth)
                return unexpected(
                    PlistErrorKind::tooDeep,
                    PlistText::tr("containers are nested deeper than %1 levels").arg(plistLimits::maxDepth));
            return name == u"dict" ? readDictionary(depth + 1) : readArray(depth + 1);
        }
        const QString element = name.toString();
        auto text = readText();
        if (!text)
            return fail(text.error());
        const auto units = std::uint64_t(text->size());
        auto value = leafValue(element, *text);
        if (!value)
            return value;
        std::int64_t payload = 0;
        if (value->is<QString>())
            payload = ReadBudget::textBytes(units);
        else if (const auto* data = value->get<QByteArray>())
            payload = ReadBudget::dataBytes(std::uint64_t(data->size()));
        if (auto taken = m_budget.takeValue(payload); !taken)
            return fail(taken.error());
        return value;
    }

    Result<PlistValue, PlistError> leafValue(const QString& element, QString& text) const {
        if (element == u"string"_s)
            return PlistValue(std::move(text));
        if (element == u"true"_s || element == u"false"_s) {
            if (!text.trimmed().isEmpty())
                return damaged(PlistText::tr("<%1> holds text").arg(element));
            return PlistValue(element == u"true"_s);
        }
        if (element == u"integer"_s) {
            if (std::optional<PlistValue> value = parseInteger(text))
                return std::move(*value);
            return damaged(PlistText::tr("“%1” is not a 64-bit integer").arg(text.left(40)));
        }
        if (element == u"real"_s) {
            if (std::optional<double> value = parseReal(text))
                return PlistValue(*value);
            return damaged(PlistText::tr("“%1” is not a real number").arg(text.left(40)));
        }
        if (element == u"date"_s) {
            const QDateTime date = QDateTime::fromString(text.trimmed(), Qt::ISODate);
            if (!date.isValid())
                return damaged(PlistText::tr("“%1” is not a date").arg(text.left(40)));
            return PlistValue(
                PlistDate{double(date.toMSecsSinceEpoch()) / 1000.0 - referenceDateUnixSeconds});
        }
        if (element == u"data"_s) {
            QByteArray base64 = text.toLatin1();
            base64.removeIf([](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
            auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded)
                return damaged(PlistText::tr("<data> is not valid base64"));
            return PlistValue(std::move(*decoded));
        }
        if (element == u"key"_s)
            return damaged(PlistText::tr("a <key> stands outside a dictionary"));
        return damaged(PlistText::tr("<%1> is not a property-list element").arg(element.left(40)));
    }

    Result<PlistValue, PlistError> readArray(int depth) {
        PlistArray array;
        for (;;) {
            if (auto moved = nextElement(); !moved)
                return fail(moved.error());
            if (m_xml.isEndElement())
                return PlistValue(std::move(array));
            auto item = readValue(depth);
            if (!item)
                return item;
            array.push_back(std::move(*item));
        }
    }

    Result<PlistValue, PlistError> readDictionary(int depth) {
        PlistDictionary dictionary;
        for (;;) {
            if (auto moved = nextElement(); !moved)
                return fail(moved.error());
            if (m_xml.isEndElement())
                return PlistValue(std::move(dictionary));
            if (m_xml.name() != u"key")
                return damaged(PlistText::tr("a dictionary holds <%1> where a <key> belongs")
                                   .arg(m_xml.name().left(40)));
            auto key = readText();
            if (!key)
                return fail(key.error());
            if (auto taken = m_budget.takeValue(ReadBudget::textBytes(std::uint64_t(key->size()))); !taken)
                return fail(taken.error());
            if (auto moved = nextElement(); !moved)
                return fail(moved.error());
            if (m_xml.isEndElement())
                return damaged(PlistText::tr("the key “%1” has no value").arg(key->left(40)));
            auto value = readValue(depth);
            if (!value)
                return value;
            dictionary.insert(*key, std::move(*value));
        }
    }

    QByteArrayView m_bytes;
    QXmlStreamReader m_xml;
    XmlEncoding m_encoding;
    ReadBudget m_budget;
    bool m_rootStarted = false;
};

} // namespace

Result<PlistValue, PlistError> readXmlPropertyList(QByteArrayView bytes) {
    return Reader(bytes).read();
}

} // namespace pexlora
