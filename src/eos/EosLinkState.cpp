// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosLinkState.h"

namespace pexlora {

namespace {

template <typename... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <typename... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

} // namespace

bool EosLinkState::isUp() const {
    return shownFraming().has_value();
}

EosConsoleHealth EosLinkState::health() const {
    const auto downOr = [this](EosConsoleHealth health) {
        return afterSilence() ? EosConsoleHealth::gone : health;
    };
    return std::visit(Overloaded{
                          [](const Answering&) { return EosConsoleHealth::answering; },
                          [](const Silent&) { return EosConsoleHealth::silent; },
                          [&](const Probing&) { return downOr(EosConsoleHealth::settling); },
                          [&](const Reopening&) { return downOr(EosConsoleHealth::settling); },
                          [&](const auto&) { return downOr(EosConsoleHealth::offline); },
                      },
                      value);
}

std::optional<EosFraming> EosLinkState::shownFraming() const {
    return std::visit(Overloaded{
                          [](const Probing& state) -> std::optional<EosFraming> { return state.framing; },
                          [](const Reopening& state) -> std::optional<EosFraming> { return state.shown; },
                          [](const Answering& state) -> std::optional<EosFraming> { return state.framing; },
                          [](const Silent& state) -> std::optional<EosFraming> { return state.framing; },
                          [](const auto&) -> std::optional<EosFraming> { return std::nullopt; },
                      },
                      value);
}

bool EosLinkState::afterSilence() const {
    return std::visit(Overloaded{
                          [](const Connecting& state) { return state.afterSilence; },
                          [](const Probing& state) { return state.afterSilence; },
                          [](const Reopening& state) { return state.afterSilence; },
                          [](const RetryPending& state) { return state.afterSilence; },
                          [](const auto&) { return false; },
                      },
                      value);
}

std::optional<EosLinkFailure> EosLinkState::failure() const {
    if (const auto* pending = std::get_if<RetryPending>(&value))
        return pending->failure;
    if (const auto* connecting = std::get_if<Connecting>(&value))
        return connecting->retrying;
    return std::nullopt;
}

std::optional<std::chrono::milliseconds> EosLinkState::retryAt() const {
    if (const auto* pending = std::get_if<RetryPending>(&value))
        return pending->retryAt;
    return std::nullopt;
}

} // namespace pexlora
