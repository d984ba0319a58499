// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <sys/types.h>
#include <vector>

namespace pexlora::test {

using namespace std::chrono_literals;

// Whether an executable of that name is on PATH.
bool toolAvailable(const std::string& name);

// A child program whose standard output is read line by line; it is stopped when
// the object goes away.
class ChildProcess {
public:
    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return m_pid > 0; }
    // The next complete output line, or nothing when none arrives in time.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    // Waits for the program to end by itself; its exit status, or nothing on time-out.
    std::optional<int> wait(std::chrono::milliseconds timeout);
    // The port of a socket the program has bound (SOCK_DGRAM) or listens on (SOCK_STREAM),
    // as the kernel reports it; nothing if none appears in time or the program ends first.
    std::optional<int> boundPort(int socketType, std::chrono::milliseconds timeout);

private:
    pid_t m_pid = -1;
    int m_output = -1;
    std::string m_buffer;
};

// A UDP socket bound to 127.0.0.1 on a port of the system's choice.
class LoopbackUDPSocket {
public:
    LoopbackUDPSocket();
    ~LoopbackUDPSocket();
    LoopbackUDPSocket(const LoopbackUDPSocket&) = delete;
    LoopbackUDPSocket& operator=(const LoopbackUDPSocket&) = delete;

    int port() const { return m_port; }
    bool sendTo(int port, std::span<const std::uint8_t> bytes);
    std::optional<std::vector<std::uint8_t>> receive(std::chrono::milliseconds timeout);

private:
    int m_fd = -1;
    int m_port = 0;
};

// A TCP connection to 127.0.0.1, retried until the listener is up or time runs out.
class LoopbackTCPClient {
public:
    LoopbackTCPClient(int port, std::chrono::milliseconds timeout);
    ~LoopbackTCPClient();
    LoopbackTCPClient(const LoopbackTCPClient&) = delete;
    LoopbackTCPClient& operator=(const LoopbackTCPClient&) = delete;

    bool connected() const { return m_fd >= 0; }
    bool send(std::span<const std::uint8_t> bytes);

private:
    int m_fd = -1;
};

} // namespace pexlora::test
