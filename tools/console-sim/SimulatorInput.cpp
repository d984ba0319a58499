// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatorInput.h"

#include <unistd.h>

namespace pexlora::sim {

namespace {
// A line longer than this is no command anyone typed.
constexpr std::size_t maxLine = 64 * 1024;
} // namespace

SimulatorInput::SimulatorInput(QObject* parent)
    : QObject(parent)
    , m_notifier(STDIN_FILENO, QSocketNotifier::Read) {
    QObject::connect(&m_notifier, &QSocketNotifier::activated, this, &SimulatorInput::readAvailable);
}

void SimulatorInput::readAvailable() {
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count <= 0) {
        m_notifier.setEnabled(false);
        return;
    }
    m_pending.append(buffer, static_cast<std::size_t>(count));
    for (std::size_t newline; (newline = m_pending.find('\n')) != std::string::npos;) {
        std::string line = m_pending.substr(0, newline);
        m_pending.erase(0, newline + 1);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        emit lineEntered(line);
    }
    if (m_pending.size() > maxLine)
        m_pending.clear();
}

} // namespace pexlora::sim
