// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosClock.h"
#include "eos/EosConsoleHealth.h"
#include "eos/EosFraming.h"
#include "eos/EosLinkFailure.h"
#include "eos/EosFramingStep.h"

#include <chrono>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace pexlora {

// Where the link to the console stands, as one value: what the window shows is read
// from it, and the timers of a state go with it.
struct EosLinkState {
    // No console to talk to.
    struct Idle {};
    // The first connection to the console, in the first framing to try.
    struct Connecting {
        EosFraming framing = EosFraming::slip;
        std::vector<EosFraming> untried;
        bool afterSilence = false; // the console answered once, then fell silent
        // Why the link is being retried, until this attempt comes up; none for the user's.
        std::optional<EosLinkFailure> retrying;
    };
    // Up in a framing the console has not answered yet. Messages wait for the answer,
    // unless the user chose the framing.
    struct Probing {
        EosFraming framing = EosFraming::slip;
        std::vector<EosFraming> untried;
        bool afterSilence = false;
        std::unique_ptr<EosTimer> timeout;
        std::optional<EosFramingEvent> before; // how the framing tried before ended
    };
    // Still counted as up while a fresh connection in another framing is made, so the
    // window does not flicker: a desk closes one on which it was sent bytes it cannot read.
    struct Reopening {
        EosFraming shown = EosFraming::slip; // of the connection left
        EosFraming framing = EosFraming::slip;
        std::vector<EosFraming> untried;
        bool afterSilence = false;
        bool lastResort = false; // no framing was answered: this one is kept unanswered
        std::optional<EosFramingEvent> before;
    };
    struct Answering {
        EosFraming framing = EosFraming::slip;
    };
    // Up on the last resort, never answered.
    struct Silent {
        EosFraming framing = EosFraming::slip;
    };
    // Down for `failure`; `retry` connects to the same console again at `retryAt`, on
    // the link's clock.
    struct RetryPending {
        bool afterSilence = false;
        EosLinkFailure failure;
        std::chrono::milliseconds retryAt{0};
        std::unique_ptr<EosTimer> retry;
    };

    using Value = std::variant<Idle, Connecting, Probing, Reopening, Answering, Silent, RetryPending>;
    Value value;

    template <typename State> bool is() const { return std::holds_alternative<State>(value); }
    template <typename State> State* as() { return std::get_if<State>(&value); }

    bool isUp() const;
    EosConsoleHealth health() const;
    // The framing the window shows; none while down.
    std::optional<EosFraming> shownFraming() const;
    // Whether the console is being retried after it fell silent, not having answered since.
    bool afterSilence() const;
    // Why the link is down and being retried: while a retry waits, and while it connects.
    std::optional<EosLinkFailure> failure() const;
    // When the next automatic attempt is due, while one waits.
    std::optional<std::chrono::milliseconds> retryAt() const;
};

} // namespace pexlora
