// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Decimal.h"

#include <string>

namespace pexlora {

namespace {

// Far beyond any channel number; keeps a pasted novel from being parsed digit by digit.
constexpr qsizetype maxDecimalTextLength = 256;

} // namespace

std::optional<Decimal> readDecimal(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > maxDecimalTextLength)
        return std::nullopt;

    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(trimmed.size()));
    bool seenPoint = false;
    bool seenDigit = false;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        const char16_t c = trimmed.at(i).unicode();
        if (c >= u'0' && c <= u'9') {
            seenDigit = true;
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
        } else if ((c == u'+' || c == u'-') && i == 0) {
        } else {
            return std::nullopt;
        }
        ascii.push_back(static_cast<char>(c));
    }
    if (!seenDigit)
        return std::nullopt;
    // The grammar above is a subset of what the constructor parses, so it cannot throw here.
    return Decimal(ascii);
}

QString formatDecimal(const Decimal& value) {
    std::string text = value.str(0, std::ios_base::fixed);
    if (text.find('.') != std::string::npos) {
        while (!text.empty() && text.back() == '0')
            text.pop_back();
        if (!text.empty() && text.back() == '.')
            text.pop_back();
    }
    if (text == "-0")
        text = "0";
    return QString::fromLatin1(text);
}

} // namespace pexlora
