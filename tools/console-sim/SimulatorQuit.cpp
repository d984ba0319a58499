// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatorQuit.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace pexlora::sim {

namespace {

// Written by the signal handler, where only async-signal-safe calls may be made.
volatile std::sig_atomic_t quitPipe = -1;

extern "C" void onQuitSignal(int) {
    const char byte = 'q';
    [[maybe_unused]] const ssize_t written = ::write(quitPipe, &byte, 1);
}

} // namespace

SimulatorQuit::SimulatorQuit(QObject* parent)
    : QObject(parent) {
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    quitPipe = m_pipe[1];
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    QObject::connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(m_pipe[0], bytes, sizeof bytes) > 0) {
        }
        emit requested();
    });
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

SimulatorQuit::~SimulatorQuit() {
    if (m_pipe[0] < 0)
        return;
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    quitPipe = -1;
    ::close(m_pipe[0]);
    ::close(m_pipe[1]);
}

} // namespace pexlora::sim
