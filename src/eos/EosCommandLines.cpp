// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosCommandLines.h"

#include "model/Decimal.h"

#include <QCoreApplication>
#include <QHash>
#include <optional>
#include <utility>
#include <vector>

namespace pexlora {

namespace {

QStringList numberTexts(const std::vector<QUuid>& group, const QHash<QUuid, QString>& numberByID) {
    QStringList texts;
    for (const QUuid& id : group) {
        const auto found = numberByID.constFind(id);
        if (found != numberByID.constEnd())
            texts.append(*found);
    }
    return texts;
}

// Where each token of a range list starts and ends: a run of numbers stepping by
// exactly +1 or exactly −1 (in exact decimals), or a single text.
std::vector<std::pair<qsizetype, qsizetype>> numberRuns(const QStringList& numbers) {
    std::vector<std::optional<Decimal>> values;
    values.reserve(static_cast<std::size_t>(numbers.size()));
    for (const QString& text : numbers)
        values.push_back(readDecimal(text));
    const auto step = [&](std::size_t from) -> std::optional<Decimal> {
        if (from + 1 >= values.size() || !values[from] || !values[from + 1])
            return std::nullopt;
        return *values[from + 1] - *values[from];
    };

    const Decimal one(1);
    std::vector<std::pair<qsizetype, qsizetype>> runs;
    std::size_t i = 0;
    while (i < values.size()) {
        std::size_t j = i;
        const auto runStep = step(i);
        if (runStep && (*runStep == one || *runStep == -one)) {
            ++j;
            while (step(j) == runStep)
                ++j;
        }
        runs.emplace_back(static_cast<qsizetype>(i), static_cast<qsizetype>(j));
        i = j + 1;
    }
    return runs;
}

// The runs as "first<arrow>last" or the single text, joined with `separator`.
QString joinRuns(const QStringList& numbers, const QString& arrow, const QString& separator) {
    QStringList tokens;
    for (const auto& [first, last] : numberRuns(numbers))
        tokens.append(first == last ? numbers[first] : numbers[first] + arrow + numbers[last]);
    return tokens.join(separator);
}

QHash<QUuid, QString> numberLookup(const GridElements& elements) {
    QHash<QUuid, QString> numberByID;
    numberByID.reserve(static_cast<qsizetype>(elements.size()));
    // The first element of an ID wins, as every lookup by ID does.
    for (const GridElement& element : elements) {
        if (!numberByID.contains(element.id))
            numberByID.insert(element.id, element.numberString);
    }
    return numberByID;
}

} // namespace

QString rangeListText(const QStringList& numbers) {
    return joinRuns(numbers, QStringLiteral(" > "), QStringLiteral(" "));
}

QString channelListText(const SelectionGroups& selectionGroups, const GridElements& elements) {
    const QHash<QUuid, QString> numberByID = numberLookup(elements);
    if (selectionGroups.size() == 1)
        return rangeListText(numberTexts(selectionGroups.front(), numberByID));
    QStringList tokens;
    for (const auto& group : selectionGroups) {
        const QStringList texts = numberTexts(group, numberByID);
        if (texts.size() == 1)
            tokens.append(texts.front());
        else if (texts.size() > 1)
            tokens.append(QLatin1Char('(') + rangeListText(texts) + QLatin1Char(')'));
    }
    return tokens.join(QLatin1Char(' '));
}

QString selectionBarText(const SelectionGroups& selectionGroups, const GridElements& elements,
                         MarqueeModifier selectionModifier) {
    if (selectionGroups.empty())
        return QCoreApplication::translate("pexlora::EosCommandLines", "No selection");
    const QHash<QUuid, QString> numberByID = numberLookup(elements);
    if (selectionModifier == MarqueeModifier::none || selectionModifier == MarqueeModifier::shift) {
        std::vector<QUuid> flat;
        for (const auto& group : selectionGroups)
            flat.insert(flat.end(), group.begin(), group.end());
        return joinRuns(numberTexts(flat, numberByID), QStringLiteral(">"), QStringLiteral(" + "));
    }
    QStringList tokens;
    for (const auto& group : selectionGroups)
        tokens.append(QLatin1Char('(') + numberTexts(group, numberByID).join(QLatin1Char(',')) +
                      QLatin1Char(')'));
    return tokens.join(QStringLiteral(" + "));
}

bool isValidGroupNumber(const QString& text) {
    qsizetype point = -1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'.' && point < 0)
            point = i;
        else if (c < u'0' || c > u'9')
            return false;
    }
    if (point >= 0 && text.size() - point - 1 > 3)
        return false;
    const auto value = readDecimal(text);
    return value && *value >= Decimal(1) && *value <= Decimal("99999.999");
}

QStringList selectedChannelNumbers(const SelectionGroups& selectionGroups, const GridElements& elements) {
    const QHash<QUuid, QString> numberByID = numberLookup(elements);
    QStringList numbers;
    for (const auto& group : selectionGroups)
        numbers.append(numberTexts(group, numberByID));
    return numbers;
}

EosCommand selectChannelsCommandLine(const QStringList& channels) {
    // "Record Group" records the selection of the user that sends it, never the
    // operator's: that user selects the channels first.
    return {QStringLiteral("/eos/user/91/newcmd"), QStringLiteral("Chan ") +
                                                       joinRuns(channels, QStringLiteral(" Thru "),
                                                                QStringLiteral(" + ")) +
                                                       QStringLiteral(" Enter")};
}

EosCommand recordGroupCommandLine(const QString& groupNumber) {
    return {QStringLiteral("/eos/user/91/newcmd"),
            QStringLiteral("Record Group ") + groupNumber + QStringLiteral(" Enter")};
}

EosCommand groupChannelsCommand(const QString& groupNumber, const QString& channelList) {
    return {QStringLiteral("/eos/set/group/") + groupNumber + QStringLiteral("/chans"), channelList};
}

} // namespace pexlora
