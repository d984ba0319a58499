// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosFraming.h"

#include "osc/SLIPEncoder.h"

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

std::vector<EosFraming> framingAttempts(EosFramingChoice choice, std::optional<EosFraming> remembered,
                                        int port) {
    switch (choice) {
    case EosFramingChoice::automatic:
        break;
    case EosFramingChoice::slip:
        return {EosFraming::slip};
    case EosFramingChoice::length:
        return {EosFraming::length};
    }
    constexpr int lengthFirstPort = 3032;
    const EosFraming first =
        remembered.value_or(port == lengthFirstPort ? EosFraming::length : EosFraming::slip);
    return {first, first == EosFraming::slip ? EosFraming::length : EosFraming::slip};
}

EosFraming fallbackFraming(EosFramingChoice choice) {
    // A desk with its OSC output off never answers; SLIP is what the link spoke before it listened.
    return choice == EosFramingChoice::length ? EosFraming::length : EosFraming::slip;
}

QByteArray framedPacket(EosFraming framing, std::span<const std::uint8_t> packet) {
    if (framing == EosFraming::slip) {
        const std::vector<std::uint8_t> frame = encodeSLIPFrame(packet);
        return QByteArray(reinterpret_cast<const char*>(frame.data()), static_cast<qsizetype>(frame.size()));
    }
    const auto size = static_cast<std::uint32_t>(packet.size());
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(packet.size()) + 4);
    for (const int shift : {24, 16, 8, 0})
        bytes.append(static_cast<char>((size >> shift) & 0xFF));
    bytes.append(reinterpret_cast<const char*>(packet.data()), static_cast<qsizetype>(packet.size()));
    return bytes;
}

} // namespace pexlora
