// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosFraming.h"

#include <optional>
#include <span>

namespace pexlora {

// What happened to the framing being tried on a link that is up.
enum class EosFramingEvent {
    answered, // the console answered a question asked in it
    timedOut, // it had its time and was not answered
    ended     // the console closed the connection, as a desk does on bytes it cannot read
};

// A framing being tried: the choice, the framing of the connection, those still to try
// and whether the console is being retried after it fell silent.
struct EosFramingTrial {
    EosFramingChoice choice = EosFramingChoice::automatic;
    EosFraming current = EosFraming::slip;
    std::span<const EosFraming> untried;
    bool afterSilence = false;
    // How the framing tried before this one in the same round ended: a desk that closed
    // one framing and sat quiet in the other reads the quiet one, with its output off.
    std::optional<EosFramingEvent> before;
};

// What the link does next, and in which framing.
struct EosFramingStep {
    enum class Action {
        keep,       // stays: the console reads it
        reopen,     // a fresh connection in `framing`, to be tried in turn
        lastResort, // a fresh connection in `framing`, kept although never answered
        settle,     // stays unanswered: the console does not talk (its OSC output may be off)
        drop        // the link failed
    };
    Action action = Action::drop;
    EosFraming framing = EosFraming::slip; // the current one unless the link reopens

    friend bool operator==(const EosFramingStep&, const EosFramingStep&) = default;
};

EosFramingStep nextFramingStep(const EosFramingTrial& trial, EosFramingEvent event);

} // namespace pexlora
