// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/GridElement.h"

#include <limits>
#include <memory>
#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unordered_set>

namespace pexlora {

namespace {

bool isNumberCodePoint(char32_t c) {
    return u_getIntPropertyValue(static_cast<UChar32>(c), UCHAR_NUMERIC_TYPE) != U_NT_NONE;
}

char32_t codePointAt(QStringView text, qsizetype i) {
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(c, text.at(i + 1));
    return c.unicode();
}

// One iterator per thread, reset to each text: opening one costs far more than a check.
UBreakIterator* characterBreaks() {
    thread_local const std::unique_ptr<UBreakIterator, decltype(&ubrk_close)> iterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        UBreakIterator* opened = ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status);
        if (U_FAILURE(status)) {
            ubrk_close(opened);
            opened = nullptr;
        }
        return std::unique_ptr<UBreakIterator, decltype(&ubrk_close)>(opened, ubrk_close);
    }();
    return iterator.get();
}

bool isAscii(QStringView text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

enum class PartProblem { empty, notDigits, tooLong };

// One to four user-perceived characters, each starting with a number code point.
std::optional<PartProblem> numberPartProblem(QStringView part) {
    if (part.isEmpty())
        return PartProblem::empty;
    if (isAscii(part)) {
        // Every ASCII character is a cluster of its own except CR LF, which is
        // no digit either way, so counting code units is exact here.
        for (QChar c : part) {
            if (c < u'0' || c > u'9')
                return PartProblem::notDigits;
        }
        if (part.size() > maxNumberPartLength)
            return PartProblem::tooLong;
        return std::nullopt;
    }
    // ICU's character iterator, not QTextBoundaryFinder: Qt 6.4 cuts grapheme
    // clusters with Indic and Thai marks (a digit + U+094D, U+0903, U+0E31) apart.
    UBreakIterator* clusters = characterBreaks();
    if (!clusters || part.size() > std::numeric_limits<int32_t>::max())
        return PartProblem::notDigits;
    UErrorCode status = U_ZERO_ERROR;
    ubrk_setText(clusters, reinterpret_cast<const UChar*>(part.utf16()), static_cast<int32_t>(part.size()),
                 &status);
    if (U_FAILURE(status))
        return PartProblem::notDigits;
    qsizetype count = 0;
    for (int32_t start = ubrk_first(clusters); ubrk_next(clusters) != UBRK_DONE;
         start = ubrk_current(clusters)) {
        if (!isNumberCodePoint(codePointAt(part, start)))
            return PartProblem::notDigits;
        ++count;
    }
    if (count > maxNumberPartLength)
        return PartProblem::tooLong;
    return std::nullopt;
}

} // namespace

bool isValidNumberString(const QString& text) {
    return !numberTextProblem(text);
}

std::optional<NumberTextProblem> numberTextProblem(const QString& text) {
    if (text.isEmpty())
        return NumberTextProblem::empty;
    const qsizetype point = text.indexOf(u'.');
    const QStringView whole = point < 0 ? QStringView(text) : QStringView(text).left(point);
    const std::optional<QStringView> fraction =
        point < 0 ? std::nullopt : std::optional(QStringView(text).mid(point + 1));
    const auto wholeProblem = numberPartProblem(whole);
    const auto fractionProblem = fraction ? numberPartProblem(*fraction) : std::nullopt;
    // A stray character says more than a length, and a length more than a missing side.
    if (wholeProblem == PartProblem::notDigits || fractionProblem == PartProblem::notDigits)
        return NumberTextProblem::notDigits;
    if (wholeProblem == PartProblem::tooLong)
        return NumberTextProblem::wholePartTooLong;
    if (fractionProblem == PartProblem::tooLong)
        return NumberTextProblem::fractionTooLong;
    if (wholeProblem || fractionProblem)
        return NumberTextProblem::missingDigits;
    return std::nullopt;
}

std::optional<std::int64_t> integerValue(const QString& text) {
    QStringView digits(text);
    bool negative = false;
    if (!digits.isEmpty() && (digits.front() == u'+' || digits.front() == u'-')) {
        negative = digits.front() == u'-';
        digits = digits.mid(1);
    }
    if (digits.isEmpty())
        return std::nullopt;
    // Accumulate towards the negative side, which holds one more value.
    std::int64_t value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c.unicode() - u'0';
        if (__builtin_mul_overflow(value, 10, &value) || __builtin_sub_overflow(value, digit, &value))
            return std::nullopt;
    }
    if (negative)
        return value;
    if (value == std::numeric_limits<std::int64_t>::min())
        return std::nullopt;
    return -value;
}

QString nextFreeNumber(const GridElements& elements) {
    std::unordered_set<std::int64_t> used;
    used.reserve(elements.size());
    for (const GridElement& element : elements) {
        if (const auto value = integerValue(element.numberString); value && *value > 0)
            used.insert(*value);
    }
    std::int64_t candidate = 1;
    while (used.contains(candidate))
        ++candidate;
    return QString::number(candidate);
}

} // namespace pexlora
