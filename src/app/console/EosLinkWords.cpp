// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/EosLinkWords.h"

#include "eos/EosConnectionManager.h"

#include <algorithm>

namespace pexlora {

namespace {

long long wholeSecondsUp(std::chrono::milliseconds time) {
    return (std::max<long long>(time.count(), 0) + 999) / 1000;
}

// As the link connects to it: the host trimmed, the port clamped.
QString addressText(const EosConsoleAddress& target) {
    return target.host + QLatin1Char(':') + QString::number(std::clamp(target.port, 1, 65535));
}

} // namespace

QString EosLinkWords::stateText(const EosConnectionManager& manager) {
    const auto target = manager.connectionTarget();
    if (!target)
        return tr("Disconnected");
    if (const auto failure = manager.lastFailure())
        return failureText(*failure, *target);
    if (manager.health() == EosConsoleHealth::offline)
        return tr("Connecting to %1…").arg(addressText(*target));
    return healthText(manager.health());
}

QString EosLinkWords::countdownText(const EosConnectionManager& manager) {
    if (const auto left = manager.timeToRetry())
        return countdownText(*left);
    return manager.lastFailure() ? tr("Retrying now…") : QString();
}

QString EosLinkWords::toolTipText(const EosConnectionManager& manager) {
    if (!manager.lastFailure())
        return {};
    return stateText(manager) + QLatin1Char('\n') + countdownText(manager);
}

QString EosLinkWords::failureText(const EosLinkFailure& failure, const EosConsoleAddress& target) {
    using Kind = EosLinkFailure::Kind;
    switch (failure.kind) {
    case Kind::refused:
        return tr("Connection refused by %1").arg(addressText(target));
    case Kind::hostNotFound:
        return tr("No host named “%1”").arg(target.host);
    case Kind::timedOut:
        return tr("No answer within %1 s").arg(wholeSecondsUp(failure.waited));
    case Kind::closedByConsole:
        return tr("The console closed the connection");
    case Kind::unreadable:
        return tr("The console sent data that could not be read");
    case Kind::stoppedAnswering:
        return tr("The console stopped answering");
    case Kind::other:
        break;
    }
    if (failure.detail.isEmpty())
        return tr("Could not connect to %1").arg(addressText(target));
    return tr("Could not connect to %1: %2").arg(addressText(target), failure.detail);
}

QString EosLinkWords::countdownText(std::chrono::milliseconds left) {
    const long long seconds = wholeSecondsUp(left);
    return seconds > 0 ? tr("Retrying in %1 s").arg(seconds) : tr("Retrying now…");
}

QString EosLinkWords::healthText(EosConsoleHealth health) {
    switch (health) {
    case EosConsoleHealth::offline:
    case EosConsoleHealth::answering:
        break;
    case EosConsoleHealth::settling:
        return tr("Connected, waiting for the console to answer…");
    case EosConsoleHealth::silent:
        return tr("Connected, but the console does not answer — is OSC TX on?");
    case EosConsoleHealth::gone:
        return tr("The console stopped answering; trying again.");
    }
    return {};
}

} // namespace pexlora
