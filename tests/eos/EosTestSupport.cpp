// SPDX-License-Identifier: GPL-3.0-or-later
#include "EosTestSupport.h"

#include "osc/OSCMessageEncoder.h"
#include "sacn/SacnPacketWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <atomic>

namespace pexlora::test {

struct FakeClock::Entry {
    std::chrono::milliseconds due;
    std::chrono::milliseconds period; // zero for a one-shot timer
    std::uint64_t sequence;
    QPointer<QObject> context;
    std::function<void()> task;
    std::atomic<bool> cancelled{false};
};

namespace {

class FakeTimer final : public EosTimer {
public:
    FakeTimer(std::shared_ptr<FakeClock::Entry> entry)
        : m_entry(std::move(entry)) {}
    ~FakeTimer() override { m_entry->cancelled = true; }

private:
    std::shared_ptr<FakeClock::Entry> m_entry;
};

} // namespace

std::chrono::milliseconds FakeClock::now() const {
    std::lock_guard lock(m_mutex);
    return m_now;
}

std::unique_ptr<EosTimer> FakeClock::startOnce(QObject* context, std::chrono::milliseconds delay,
                                               std::function<void()> task) {
    return start(context, delay, 0ms, std::move(task));
}

std::unique_ptr<EosTimer> FakeClock::startRepeating(QObject* context, std::chrono::milliseconds period,
                                                    std::function<void()> task) {
    return start(context, period, period, std::move(task));
}

std::unique_ptr<EosTimer> FakeClock::start(QObject* context, std::chrono::milliseconds delay,
                                           std::chrono::milliseconds period, std::function<void()> task) {
    std::lock_guard lock(m_mutex);
    auto entry = std::make_shared<Entry>();
    entry->due = m_now + delay;
    entry->period = period;
    entry->sequence = m_sequence++;
    entry->context = context;
    entry->task = std::move(task);
    m_entries.push_back(entry);
    return std::make_unique<FakeTimer>(entry);
}

void FakeClock::advance(std::chrono::milliseconds step) {
    std::unique_lock lock(m_mutex);
    const auto target = m_now + step;
    for (;;) {
        std::erase_if(m_entries, [](const auto& entry) { return entry->cancelled.load(); });
        const auto next =
            std::min_element(m_entries.begin(), m_entries.end(), [](const auto& a, const auto& b) {
                return a->due != b->due ? a->due < b->due : a->sequence < b->sequence;
            });
        if (next == m_entries.end() || (*next)->due > target)
            break;
        const std::shared_ptr<Entry> entry = *next;
        m_now = entry->due;
        if (entry->period > 0ms) {
            entry->due += entry->period;
            entry->sequence = m_sequence++;
        } else {
            m_entries.erase(next);
        }
        lock.unlock();
        // Cancelling happens on the context's thread, so the check there is race-free.
        const auto run = [entry] {
            if (!entry->cancelled)
                entry->task();
        };
        if (QObject* context = entry->context) {
            if (context->thread() == QThread::currentThread())
                run();
            else
                QMetaObject::invokeMethod(context, run, Qt::BlockingQueuedConnection);
        }
        lock.lock();
    }
    m_now = target;
}

std::vector<std::chrono::milliseconds> FakeClock::pendingDelays() const {
    std::lock_guard lock(m_mutex);
    std::vector<std::chrono::milliseconds> delays;
    for (const auto& entry : m_entries) {
        if (!entry->cancelled)
            delays.push_back(entry->due - m_now);
    }
    std::sort(delays.begin(), delays.end());
    return delays;
}

bool waitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
    return QTest::qWaitFor(predicate, static_cast<int>(timeout.count()));
}

std::optional<QNetworkDatagram> UDPPeer::receive(std::chrono::milliseconds timeout) {
    if (!m_socket.hasPendingDatagrams() && !m_socket.waitForReadyRead(static_cast<int>(timeout.count())))
        return std::nullopt;
    return m_socket.receiveDatagram();
}

int UDPPeer::drain() {
    int count = 0;
    while (m_socket.hasPendingDatagrams()) {
        m_socket.receiveDatagram();
        ++count;
    }
    return count;
}

std::uint16_t freeTCPPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

bool tcpPortListening(std::uint16_t port) {
    // Lines read "sl local_address:port rem_address:port st ...", in hexadecimal; st 0A is LISTEN.
    const QString local = QStringLiteral(":%1 ").arg(port, 4, 16, QLatin1Char('0')).toUpper();
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        QFile file(QString::fromLatin1(table));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : file.readAll().split('\n')) {
            const QStringList fields = QString::fromLatin1(line).simplified().split(QLatin1Char(' '));
            if (fields.size() > 3 && (fields[1] + QLatin1Char(' ')).endsWith(local) &&
                fields[3] == QLatin1String("0A"))
                return true;
        }
    }
    return false;
}

Child::Child(const QString& program, const QStringList& arguments) {
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(program, arguments);
    m_process.waitForStarted(10000);
}

Child::~Child() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

std::optional<QString> Child::waitForLine(const std::function<bool(const QString&)>& matches,
                                          std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        while (m_process.canReadLine()) {
            const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
            m_lines.append(line);
            if (matches(line))
                return line;
        }
        QCoreApplication::processEvents();
        m_process.waitForReadyRead(20);
    }
    return std::nullopt;
}

std::optional<Simulator> startSimulator(const QStringList& arguments) {
    Simulator simulator;
    simulator.child = std::make_unique<Child>(QString::fromUtf8(PEXLORA_CONSOLE_SIM), arguments);
    const auto ready = simulator.child->waitForLine(QStringLiteral("Ready: "));
    if (!ready)
        return std::nullopt;
    static const QRegularExpression ports(QStringLiteral("TCP [^ ]+:(\\d+), discovery UDP [^ ]+:(\\d+)"));
    const auto match = ports.match(*ready);
    if (!match.hasMatch())
        return std::nullopt;
    simulator.tcpPort = static_cast<std::uint16_t>(match.captured(1).toUInt());
    simulator.discoveryPort = static_cast<std::uint16_t>(match.captured(2).toUInt());
    return simulator;
}

bool toolAvailable(const QString& name) {
    return !QStandardPaths::findExecutable(name).isEmpty();
}

void appendOSCString(Bytes& bytes, std::string_view string) {
    bytes.insert(bytes.end(), string.begin(), string.end());
    bytes.resize(bytes.size() + 4 - string.size() % 4, 0);
}

Bytes encoded(const OSCMessage& message) {
    return encodeOSC(message).value();
}

Bytes sacnDatagram(const SacnDataPacket& packet) {
    Bytes bytes(maxSacnPacketSize);
    bytes.resize(writeSacnPacket(packet, bytes));
    return bytes;
}

} // namespace pexlora::test
