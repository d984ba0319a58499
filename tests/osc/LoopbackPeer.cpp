// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoopbackPeer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <set>
#include <spawn.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace pexlora::test {

namespace {

sockaddr_in loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

int boundPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

} // namespace

bool toolAvailable(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (!dir.empty() && access((dir + "/" + name).c_str(), X_OK) == 0)
            return true;
    }
    return false;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    if (posix_spawnp(&m_pid, args[0], &actions, nullptr, args.data(), environ) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    m_output = pipeFds[0];
}

ChildProcess::~ChildProcess() {
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
    }
    if (m_output >= 0)
        close(m_output);
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        if (const auto newline = m_buffer.find('\n'); newline != std::string::npos) {
            std::string line = m_buffer.substr(0, newline);
            m_buffer.erase(0, newline + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        pollfd fd{m_output, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) <= 0)
            return std::nullopt;
        char chunk[512];
        const ssize_t n = read(m_output, chunk, sizeof chunk);
        if (n <= 0)
            return std::nullopt;
        m_buffer.append(chunk, static_cast<std::size_t>(n));
    }
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(10ms);
    }
    return std::nullopt;
}

// A peer that takes its port from the command line is asked for port 0, so that the
// system picks a free one and the peer holds it from the start; the test then reads
// which one from the kernel's socket tables. Closing a probe socket and handing its
// number on instead would leave a moment in which a test running beside this one
// could take the port, and our datagrams would go to it.
std::optional<int> ChildProcess::boundPort(int socketType, std::chrono::milliseconds timeout) {
    const std::vector<std::string> tables = socketType == SOCK_STREAM
                                                ? std::vector<std::string>{"/proc/net/tcp", "/proc/net/tcp6"}
                                                : std::vector<std::string>{"/proc/net/udp", "/proc/net/udp6"};
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_pid > 0 && std::chrono::steady_clock::now() < deadline) {
        if (int status = 0; waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1; // it ended, for instance because it could not bind
            break;
        }
        std::set<std::string> inodes; // "socket:[N]" links of the program's descriptors
        std::error_code error;
        for (const auto& fd :
             std::filesystem::directory_iterator("/proc/" + std::to_string(m_pid) + "/fd", error)) {
            const std::string link = std::filesystem::read_symlink(fd.path(), error).string();
            if (link.starts_with("socket:["))
                inodes.insert(link.substr(8, link.size() - 9));
        }
        for (const std::string& table : tables) {
            std::ifstream lines(table);
            std::string line;
            std::getline(lines, line); // the column headings
            while (std::getline(lines, line)) {
                // sl local_address rem_address st tx:rx tr:when retrnsmt uid timeout inode
                std::istringstream fields(line);
                std::string slot, local, remote, state, skip, inode;
                fields >> slot >> local >> remote >> state >> skip >> skip >> skip >> skip >> skip >> inode;
                const bool listening = socketType != SOCK_STREAM || state == "0A";
                if (listening && inodes.count(inode) && local.find(':') != std::string::npos)
                    return std::stoi(local.substr(local.rfind(':') + 1), nullptr, 16);
            }
        }
        std::this_thread::sleep_for(10ms);
    }
    return std::nullopt;
}

LoopbackUDPSocket::LoopbackUDPSocket() {
    m_fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address = loopback(0);
    if (m_fd >= 0 && bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
        m_port = boundPort(m_fd);
}

LoopbackUDPSocket::~LoopbackUDPSocket() {
    if (m_fd >= 0)
        close(m_fd);
}

bool LoopbackUDPSocket::sendTo(int port, std::span<const std::uint8_t> bytes) {
    const sockaddr_in address = loopback(port);
    return sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&address),
                  sizeof address) == static_cast<ssize_t>(bytes.size());
}

std::optional<std::vector<std::uint8_t>> LoopbackUDPSocket::receive(std::chrono::milliseconds timeout) {
    pollfd fd{m_fd, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(timeout.count())) <= 0)
        return std::nullopt;
    std::vector<std::uint8_t> datagram(65536);
    const ssize_t n = recv(m_fd, datagram.data(), datagram.size(), 0);
    if (n < 0)
        return std::nullopt;
    datagram.resize(static_cast<std::size_t>(n));
    return datagram;
}

LoopbackTCPClient::LoopbackTCPClient(int port, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        const sockaddr_in address = loopback(port);
        if (fd >= 0 && connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            m_fd = fd;
            return;
        }
        if (fd >= 0)
            close(fd);
        std::this_thread::sleep_for(20ms);
    }
}

LoopbackTCPClient::~LoopbackTCPClient() {
    if (m_fd >= 0)
        close(m_fd);
}

bool LoopbackTCPClient::send(std::span<const std::uint8_t> bytes) {
    return ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
}

} // namespace pexlora::test
