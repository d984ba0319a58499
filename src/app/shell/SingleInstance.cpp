// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <sys/stat.h>
#include <unistd.h>

namespace pexlora {

namespace {

// One file URL a line (paths may hold any character, URLs none that end a line);
// an empty line ends the message, and the other side answers with one byte.
constexpr char terminator = '\n';
constexpr char acknowledgement = '+';
// A message this long is not one of ours; the sender is dropped.
constexpr qint64 maximumMessage = 1 << 20;
constexpr int connectMs = 2000;
constexpr int answerMs = 5000;

QByteArray encode(const QStringList& paths) {
    QByteArray message;
    for (const QString& path : paths)
        message += QUrl::fromLocalFile(path).toEncoded() + terminator;
    return message + terminator;
}

// A real folder (not a link to one) that is this user's and that nobody else may enter;
// made so when it is not there yet.
bool isPrivateFolder(const QString& folder) {
    if (folder.isEmpty())
        return false;
    if (!QFileInfo::exists(folder) && QDir().mkpath(QFileInfo(folder).absolutePath()))
        QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    struct stat status {};
    return ::lstat(QFile::encodeName(folder).constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::getuid() && (status.st_mode & 077) == 0;
}

QString privateFolder(const QString& wanted) {
    if (!wanted.isEmpty())
        return isPrivateFolder(wanted) ? wanted : QString();
    const QString candidates[] = {
        QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation),
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
            .filePath(QStringLiteral("pexlora-instance")),
    };
    for (const QString& folder : candidates)
        if (isPrivateFolder(folder))
            return folder;
    return {};
}

} // namespace

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent)
    , m_folder(privateFolder(folder)) {
    // The folder is private already; the socket is for this user alone as well.
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection())
            accept(socket);
    });
}

void SingleInstance::accept(QLocalSocket* socket) {
    m_connections.removeIf([](const QPointer<QLocalSocket>& open) { return open.isNull(); });
    if (m_connections.size() >= maximumConnections) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    m_connections.append(socket);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto* silence = new QTimer(socket);
    silence->setSingleShot(true);
    silence->setInterval(silenceLimit);
    connect(silence, &QTimer::timeout, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, silence] {
        silence->start();
        readFrom(socket);
    });
    silence->start();
    readFrom(socket);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketPath() const {
    if (m_folder.isEmpty())
        return {};
    return QDir(m_folder).filePath(QStringLiteral("org.pexlora.Pexlora.instance"));
}

SingleInstance::Claim SingleInstance::claim(const QStringList& paths) {
    if (m_folder.isEmpty()) {
        // Never a shared name such as one in /tmp, which another user could take first.
        m_listenError = tr("no folder of this user's alone for its socket");
        return Claim::primary;
    }
    // Two processes started together must not both find no one and both listen.
    // A holder that keeps the lock longer than a hand-over takes is stuck, and
    // this one goes on without it.
    QLockFile lock(QDir(m_folder).filePath(QStringLiteral("org.pexlora.Pexlora.instance.lock")));
    lock.tryLock(connectMs + answerMs);

    QLocalSocket probe;
    probe.connectToServer(socketPath());
    if (probe.waitForConnected(connectMs)) {
        probe.abort();
        return handOver(paths) ? Claim::handedOver : Claim::unanswered;
    }
    // Nobody answers: whatever socket is there was left by an instance that ended
    // without removing it.
    QLocalServer::removeServer(socketPath());
    if (!m_server.listen(socketPath()))
        m_listenError = m_server.errorString();
    return Claim::primary;
}

bool SingleInstance::handOver(const QStringList& paths) {
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(connectMs))
        return false;
    socket.write(encode(paths));
    if (!socket.waitForBytesWritten(answerMs))
        return false;
    while (socket.bytesAvailable() == 0)
        if (!socket.waitForReadyRead(answerMs))
            return false;
    char answer = 0;
    return socket.getChar(&answer) && answer == acknowledgement;
}

void SingleInstance::readFrom(QLocalSocket* socket) {
    if (socket->bytesAvailable() > maximumMessage) {
        socket->abort();
        return;
    }
    const QByteArray pending = socket->peek(socket->bytesAvailable());
    const qsizetype end = pending.indexOf(QByteArray(2, terminator));
    const bool empty = pending.startsWith(terminator);
    if (end < 0 && !empty)
        return; // the rest is still on its way
    const QByteArray message = socket->read(empty ? 1 : end + 2);
    QStringList paths;
    for (const QByteArray& line : message.split(terminator)) {
        const QUrl url = QUrl::fromEncoded(line);
        if (!line.isEmpty() && url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    // Answered before the files are opened: opening may ask the user something,
    // and the other process should not wait for that.
    socket->putChar(acknowledgement);
    socket->disconnectFromServer();
    QMetaObject::invokeMethod(
        this, [this, paths] { emit pathsReceived(paths); }, Qt::QueuedConnection);
}

} // namespace pexlora
