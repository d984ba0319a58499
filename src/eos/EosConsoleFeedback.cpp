// SPDX-License-Identifier: GPL-3.0-or-later
#include "eos/EosConsoleFeedback.h"

#include <string_view>

namespace pexlora {

namespace {

// The first argument's text; numbers as the console would have written them.
std::optional<QString> firstText(const OSCMessage& message) {
    if (message.values.empty())
        return QString();
    if (const auto* text = std::get_if<std::string>(&message.values[0]))
        return QString::fromStdString(*text);
    if (const auto* number = std::get_if<std::int32_t>(&message.values[0]))
        return QString::number(*number);
    if (const auto* number = std::get_if<std::int64_t>(&message.values[0]))
        return QString::number(*number);
    if (const auto* number = std::get_if<float>(&message.values[0]))
        return QString::number(*number);
    return std::nullopt;
}

} // namespace

EosConsoleFeedback::EosConsoleFeedback(Publish publish, std::chrono::milliseconds period)
    : m_publish(std::move(publish)) {
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(period);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { publishNow(); });
}

bool EosConsoleFeedback::take(const OSCMessage& message) {
    const std::string_view address = message.addressPattern.rawAddress();
    QString* field = nullptr;
    if (address == "/eos/out/get/version") {
        field = &m_pending.version;
    } else if (address == "/eos/out/user/91/cmd") {
        m_perUserEcho = true;
        field = &m_pending.commandLine;
    } else if (address == "/eos/out/cmd") {
        if (m_perUserEcho)
            return true;
        field = &m_pending.commandLine;
    } else if (address == "/eos/out/active/chan") {
        field = &m_pending.activeChannels;
    } else {
        return false;
    }
    if (const auto text = firstText(message); text && *text != *field) {
        *field = *text;
        changed();
    }
    return true;
}

void EosConsoleFeedback::clear() {
    m_perUserEcho = false;
    if (m_pending == EosConsoleFields())
        return;
    m_pending = {};
    changed();
}

void EosConsoleFeedback::changed() {
    if (!m_timer.isActive())
        m_timer.start();
}

void EosConsoleFeedback::publishNow() {
    if (m_pending == m_published)
        return;
    const EosConsoleFields before = std::exchange(m_published, m_pending);
    m_publish(before, m_published);
}

} // namespace pexlora
