#include "eos/EosCommandLines.h"

#include "model/Decimal.h"

#include <QHash>
#include <optional>
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

} // namespace

QString rangeListText(const QStringList& numbers) {
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
    QStringList tokens;
    std::size_t i = 0;
    while (i < values.size()) {
        const auto runStep = step(i);
        if (runStep && (*runStep == one || *runStep == -one)) {
            std::size_t j = i + 1;
            while (step(j) == runStep)
                ++j;
            tokens.append(numbers[static_cast<qsizetype>(i)] + QStringLiteral(" > ") +
                          numbers[static_cast<qsizetype>(j)]);
            i = j + 1;
        } else {
            tokens.append(numbers[static_cast<qsizetype>(i)]);
            ++i;
        }
    }
    return tokens.join(QLatin1Char(' '));
}

QString channelListText(const SelectionGroups& selectionGroups, const GridElements& elements) {
    QHash<QUuid, QString> numberByID;
    numberByID.reserve(static_cast<qsizetype>(elements.size()));
    // The first element of an ID wins, as every lookup by ID does.
    for (const GridElement& element : elements) {
        if (!numberByID.contains(element.id))
            numberByID.insert(element.id, element.numberString);
    }

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

EosCommand recordGroupCommandLine(const QString& groupNumber) {
    return {QStringLiteral("/eos/user/91/newcmd"),
            QStringLiteral("Record Group ") + groupNumber + QStringLiteral(" Enter")};
}

EosCommand groupChannelsCommand(const QString& groupNumber, const QString& channelList) {
    return {QStringLiteral("/eos/set/group/") + groupNumber + QStringLiteral("/chans"), channelList};
}

} // namespace pexlora
