// SPDX-License-Identifier: GPL-3.0-or-later
// Which framing the link goes on in after the one being tried is answered, times out or is closed.
#include "eos/EosFramingStep.h"

#include <gtest/gtest.h>
#include <vector>

namespace pexlora {
namespace {

TEST(FramingSteps, FollowTheChoiceTheFramingsLeftAndWhetherTheConsoleFellSilent) {
    using enum EosFramingEvent;
    using Action = EosFramingStep::Action;
    constexpr auto automatic = EosFramingChoice::automatic;
    constexpr auto slip = EosFraming::slip;
    constexpr auto length = EosFraming::length;
    struct Case {
        EosFramingEvent event;
        EosFramingChoice choice;
        EosFraming current;
        std::vector<EosFraming> untried;
        bool afterSilence;
        EosFramingStep expected;
    };
    const std::vector<Case> cases = {
        // Answered: the console reads it, whatever else was left.
        {answered, automatic, slip, {length}, false, {Action::keep, slip}},
        {answered, automatic, length, {}, true, {Action::keep, length}},
        {answered, EosFramingChoice::length, length, {}, false, {Action::keep, length}},
        // Not answered in time: the next to try, then the last resort, then silence.
        {timedOut, automatic, slip, {length}, false, {Action::reopen, length}},
        {timedOut, automatic, length, {slip}, false, {Action::reopen, slip}},
        {timedOut, automatic, length, {}, false, {Action::lastResort, slip}},
        {timedOut, automatic, slip, {}, false, {Action::settle, slip}},
        {timedOut, EosFramingChoice::slip, slip, {}, false, {Action::settle, slip}},
        {timedOut, EosFramingChoice::length, length, {}, false, {Action::settle, length}},
        // A console that answered before is tried in each framing, but not kept unanswered.
        {timedOut, automatic, slip, {length}, true, {Action::reopen, length}},
        {timedOut, automatic, length, {}, true, {Action::drop, length}},
        {timedOut, EosFramingChoice::slip, slip, {}, true, {Action::drop, slip}},
        // Closed by the desk: as a timeout while the link chose the framing and has another to try.
        {ended, automatic, slip, {length}, false, {Action::reopen, length}},
        {ended, automatic, length, {}, false, {Action::lastResort, slip}},
        {ended, automatic, length, {}, true, {Action::drop, length}},
        {ended, automatic, slip, {}, false, {Action::drop, slip}},
        {ended, EosFramingChoice::slip, slip, {}, false, {Action::drop, slip}},
        {ended, EosFramingChoice::length, length, {}, false, {Action::drop, length}},
    };
    // What became of the framing tried before: a desk that closed one and sat quiet in the
    // other reads the quiet one with its output off.
    struct After {
        EosFramingEvent before;
        EosFramingEvent event;
        EosFraming current;
        bool afterSilence;
        EosFramingStep expected;
    };
    const After afterOther[] = {
        {ended, timedOut, length, false, {Action::settle, length}},
        {ended, timedOut, length, true, {Action::drop, length}},
        {timedOut, ended, slip, false, {Action::lastResort, length}},
        {timedOut, ended, slip, true, {Action::drop, slip}},
        {ended, ended, length, false, {Action::drop, length}},
        {timedOut, timedOut, length, false, {Action::lastResort, slip}},
    };
    for (const After& c : afterOther) {
        const EosFramingTrial trial{automatic, c.current, {}, c.afterSilence, c.before};
        EXPECT_EQ(nextFramingStep(trial, c.event), c.expected)
            << "before " << static_cast<int>(c.before) << ", event " << static_cast<int>(c.event)
            << ", current " << static_cast<int>(c.current) << ", after silence " << c.afterSilence;
    }
    for (const Case& c : cases) {
        const EosFramingTrial trial{c.choice, c.current, c.untried, c.afterSilence, std::nullopt};
        EXPECT_EQ(nextFramingStep(trial, c.event), c.expected)
            << "event " << static_cast<int>(c.event) << ", choice "
            << framingChoiceKey(c.choice).toStdString() << ", current " << static_cast<int>(c.current) << ", "
            << c.untried.size() << " untried, after silence " << c.afterSilence;
    }
}

} // namespace
} // namespace pexlora
