// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/PersistedState.h"

#include "model/PexloraDocument.h"
#include "plist/BinaryPlistWriter.h"
#include "plist/PropertyList.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <optional>

namespace pexlora {

using namespace Qt::StringLiterals;

namespace {

// Zoom and pan outside these ranges can only come from an edited file, and would
// stall or break the canvas's arithmetic.
constexpr double minZoom = 0.1;
constexpr double maxZoom = 10.0;
constexpr double maxPan = 1e9;

struct Keys {
    QString elements = u"elements"_s;
    QString zoomScale = u"zoomScale"_s;
    QString panOffsetWidth = u"panOffsetWidth"_s;
    QString panOffsetHeight = u"panOffsetHeight"_s;
    QString id = u"id"_s;
    QString position = u"position"_s;
    QString numberString = u"numberString"_s;
    QString col = u"col"_s;
    QString row = u"row"_s;
};

// Built once, so the thousands of dictionaries of a large layout share the
// key texts instead of allocating them again.
const Keys& keys() {
    static const Keys instance;
    return instance;
}

DocumentError fileError(const PlistError& error) {
    switch (error.kind) {
    case PlistErrorKind::tooLarge:
        return {error.message};
    case PlistErrorKind::notPropertyList:
        return {PexloraDocument::tr("not a Pexlora document: %1").arg(error.message)};
    default:
        return {PexloraDocument::tr("the file is damaged: %1").arg(error.message)};
    }
}

QString quoted(const QString& text) {
    constexpr qsizetype shown = 40;
    return u"“%1”"_s.arg(text.size() > shown ? text.left(shown) + u'…' : text);
}

// Numbers are taken across integer and real as long as the value survives
// exactly, as the platform's decoders do; everything else is a wrong type.
std::optional<double> realValue(const PlistValue& value) {
    if (const auto* real = value.get<double>())
        return *real;
    if (const auto* integer = value.get<std::int64_t>())
        return double(*integer);
    if (const auto* integer = value.get<std::uint64_t>())
        return double(*integer);
    return std::nullopt;
}

enum class IntegerProblem { notInteger, outOfRange };

Result<std::int64_t, IntegerProblem> coordinateValue(const PlistValue& value) {
    if (const auto* integer = value.get<std::int64_t>())
        return *integer;
    if (value.is<std::uint64_t>())
        return fail(IntegerProblem::outOfRange);
    if (const auto* real = value.get<double>()) {
        if (!std::isfinite(*real) || std::trunc(*real) != *real)
            return fail(IntegerProblem::notInteger);
        // 2^63 is the first double beyond the signed range.
        if (*real < -9223372036854775808.0 || *real >= 9223372036854775808.0)
            return fail(IntegerProblem::outOfRange);
        return std::int64_t(*real);
    }
    return fail(IntegerProblem::notInteger);
}

// Only the 36-character 8-4-4-4-12 form, in either case, is an element's id.
std::optional<QUuid> uuidValue(const QString& text) {
    if (text.size() != 36)
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (dash ? c != u'-' : !hex)
            return std::nullopt;
    }
    return QUuid::fromString(text);
}

// The 8-4-4-4-12 form in upper case, built in place: QUuid::toString() and
// toUpper() allocate twice per element of a large layout.
QString upperCaseText(const QUuid& id) {
    static constexpr char16_t digits[] = u"0123456789ABCDEF";
    QString text(36, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    const auto put = [&out](std::uint64_t value, int nibbles) {
        for (int shift = 4 * (nibbles - 1); shift >= 0; shift -= 4)
            *out++ = digits[(value >> shift) & 0xF];
    };
    put(id.data1, 8);
    *out++ = u'-';
    put(id.data2, 4);
    *out++ = u'-';
    put(id.data3, 4);
    *out++ = u'-';
    put((std::uint64_t(id.data4[0]) << 8) | id.data4[1], 4);
    *out++ = u'-';
    std::uint64_t node = 0;
    for (int i = 2; i < 8; ++i)
        node = (node << 8) | id.data4[i];
    put(node, 12);
    return text;
}

double sanitisedZoom(double zoom) {
    if (!std::isfinite(zoom) || zoom <= 0.0)
        return 1.0;
    return std::clamp(zoom, minZoom, maxZoom);
}

double sanitisedPan(double pan) {
    return std::isfinite(pan) ? std::clamp(pan, -maxPan, maxPan) : 0.0;
}

class Decoder {
public:
    Result<PersistedState, DocumentError> decode(const PlistValue& root) {
        const auto* document = root.get<PlistDictionary>();
        if (!document)
            return fail(
                DocumentError{PexloraDocument::tr("not a Pexlora document: the file holds no dictionary")});
        PersistedState state;
        const PlistValue* elements = document->find(keys().elements);
        if (!elements)
            return missing(keys().elements);
        const auto* list = elements->get<PlistArray>();
        if (!list)
            return fail(
                DocumentError{PexloraDocument::tr("%1 is not an array").arg(quoted(keys().elements))});
        std::optional<double> numbers[3];
        const QString* numberKeys[3] = {&keys().zoomScale, &keys().panOffsetWidth, &keys().panOffsetHeight};
        for (int i = 0; i < 3; ++i) {
            const PlistValue* value = document->find(*numberKeys[i]);
            if (!value)
                return missing(*numberKeys[i]);
            numbers[i] = realValue(*value);
            if (!numbers[i])
                return fail(
                    DocumentError{PexloraDocument::tr("%1 is not a number").arg(quoted(*numberKeys[i]))});
        }
        state.elements.reserve(list->size());
        QHash<GridPosition, qsizetype> occupied;
        occupied.reserve(qsizetype(list->size()));
        for (std::size_t i = 0; i < list->size(); ++i) {
            auto element = decodeElement((*list)[i], qsizetype(i));
            if (!element)
                return fail(element.error());
            state.elements.push_back(std::move(element).value());
            const GridPosition& position = state.elements.back().position;
            if (const auto seen = occupied.constFind(position); seen != occupied.cend())
                return fail(DocumentError{
                    PexloraDocument::tr("the elements at index %1 and %2 are both at column %3, row %4")
                        .arg(*seen)
                        .arg(i)
                        .arg(position.col)
                        .arg(position.row)});
            occupied.insert(position, qsizetype(i));
        }
        state.zoomScale = sanitisedZoom(*numbers[0]);
        state.panOffsetWidth = sanitisedPan(*numbers[1]);
        state.panOffsetHeight = sanitisedPan(*numbers[2]);
        return state;
    }

private:
    static Failure<DocumentError> missing(const QString& key) {
        return fail(DocumentError{PexloraDocument::tr("the document has no %1").arg(quoted(key))});
    }

    static Result<GridElement, DocumentError> decodeElement(const PlistValue& value, qsizetype index) {
        // Formatted only for a message: most elements never need it.
        const auto where = [index] { return PexloraDocument::tr("the element at index %1").arg(index); };
        const auto* element = value.get<PlistDictionary>();
        if (!element)
            return fail(DocumentError{PexloraDocument::tr("%1 is not a dictionary").arg(where())});
        const PlistValue* fields[3] = {element->find(keys().id), element->find(keys().position),
                                       element->find(keys().numberString)};
        const QString* names[3] = {&keys().id, &keys().position, &keys().numberString};
        for (int i = 0; i < 3; ++i) {
            if (!fields[i])
                return fail(
                    DocumentError{PexloraDocument::tr("%1 has no %2").arg(where(), quoted(*names[i]))});
        }
        const auto* idText = fields[0]->get<QString>();
        if (!idText)
            return fail(DocumentError{
                PexloraDocument::tr("the %1 of %2 is not a string").arg(quoted(keys().id), where())});
        const std::optional<QUuid> id = uuidValue(*idText);
        if (!id)
            return fail(DocumentError{PexloraDocument::tr("the %1 of %2 is not a UUID: %3")
                                          .arg(quoted(keys().id), where(), quoted(*idText))});
        const auto* number = fields[2]->get<QString>();
        if (!number)
            return fail(DocumentError{PexloraDocument::tr("the %1 of %2 is not a string")
                                          .arg(quoted(keys().numberString), where())});
        const auto* position = fields[1]->get<PlistDictionary>();
        if (!position)
            return fail(DocumentError{PexloraDocument::tr("the %1 of %2 is not a dictionary")
                                          .arg(quoted(keys().position), where())});
        std::int64_t coordinates[2] = {};
        const QString* axes[2] = {&keys().col, &keys().row};
        for (int i = 0; i < 2; ++i) {
            const PlistValue* coordinate = position->find(*axes[i]);
            if (!coordinate)
                return fail(DocumentError{PexloraDocument::tr("the %1 of %2 has no %3")
                                              .arg(quoted(keys().position), where(), quoted(*axes[i]))});
            const auto integer = coordinateValue(*coordinate);
            if (!integer) {
                const QString problem = integer.error() == IntegerProblem::outOfRange
                                            ? PexloraDocument::tr("is out of range")
                                            : PexloraDocument::tr("is not an integer");
                return fail(DocumentError{
                    PexloraDocument::tr("the %1 of %2 %3").arg(quoted(*axes[i]), where(), problem)});
            }
            coordinates[i] = *integer;
        }
        return GridElement{*id, {coordinates[0], coordinates[1]}, *number};
    }
};

} // namespace

QByteArray encodePersistedState(const PersistedState& state) {
    const Keys& k = keys();
    PlistArray elements;
    elements.reserve(state.elements.size());
    for (const GridElement& element : state.elements) {
        PlistDictionary position;
        position.reserve(2);
        position.insert(k.col, element.position.col);
        position.insert(k.row, element.position.row);
        PlistDictionary cell;
        cell.reserve(3);
        cell.insert(k.id, upperCaseText(element.id));
        cell.insert(k.position, std::move(position));
        cell.insert(k.numberString, element.numberString);
        elements.emplace_back(std::move(cell));
    }
    PlistDictionary document;
    document.reserve(4);
    document.insert(k.elements, std::move(elements));
    document.insert(k.zoomScale, state.zoomScale);
    document.insert(k.panOffsetWidth, state.panOffsetWidth);
    document.insert(k.panOffsetHeight, state.panOffsetHeight);
    // Moved, not converted: the conversion would copy every dictionary of the tree.
    return writeBinaryPropertyList(PlistValue(std::move(document)));
}

Result<PersistedState, DocumentError> decodePersistedState(QByteArrayView bytes) {
    const auto plist = readPropertyList(bytes);
    if (!plist)
        return fail(fileError(plist.error()));
    return Decoder().decode(plist.value());
}

} // namespace pexlora
