// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosFramingStep.h"

namespace pexlora {

EosFramingStep nextFramingStep(const EosFramingTrial& trial, EosFramingEvent event) {
    using Action = EosFramingStep::Action;
    const EosFraming lastResort = fallbackFraming(trial.choice);
    switch (event) {
    case EosFramingEvent::answered:
        return {Action::keep, trial.current};
    case EosFramingEvent::ended:
        // Only a framing the link picked by itself is taken back on a close.
        if (trial.choice != EosFramingChoice::automatic)
            return {Action::drop, trial.current};
        if (trial.untried.empty() && !trial.afterSilence && trial.before == EosFramingEvent::timedOut)
            return {Action::lastResort,
                    trial.current == EosFraming::slip ? EosFraming::length : EosFraming::slip};
        if (trial.untried.empty() && (trial.current == lastResort || trial.before == EosFramingEvent::ended))
            return {Action::drop, trial.current};
        break;
    case EosFramingEvent::timedOut:
        if (trial.untried.empty() && !trial.afterSilence && trial.before == EosFramingEvent::ended)
            return {Action::settle, trial.current};
        break;
    }
    // A console that went silent may be back with its framing changed: each is tried again,
    // but none is kept unanswered, since it answered before.
    if (!trial.untried.empty())
        return {Action::reopen, trial.untried.front()};
    if (trial.afterSilence)
        return {Action::drop, trial.current};
    if (trial.current != lastResort)
        return {Action::lastResort, lastResort};
    return {Action::settle, trial.current};
}

} // namespace pexlora
