#include "eos/EosFraming.h"

namespace pexlora {

QString framingChoiceKey(EosFramingChoice choice) {
    switch (choice) {
    case EosFramingChoice::automatic:
        break;
    case EosFramingChoice::slip:
        return QStringLiteral("slip");
    case EosFramingChoice::length:
        return QStringLiteral("length");
    }
    return QStringLiteral("automatic");
}

std::optional<EosFramingChoice> framingChoiceFromKey(QStringView key) {
    for (const auto choice : {EosFramingChoice::automatic, EosFramingChoice::slip, EosFramingChoice::length})
        if (key == framingChoiceKey(choice))
            return choice;
    return std::nullopt;
}

} // namespace pexlora
