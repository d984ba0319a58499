#include "app/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QUrl>

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

} // namespace

SingleInstance::SingleInstance(QString folder, QObject* parent)
    : QObject(parent)
    , m_folder(folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                                : std::move(folder)) {
    // The socket is for this user alone.
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrom(socket); });
            readFrom(socket);
        }
    });
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::socketPath() const {
    return QDir(m_folder).filePath(QStringLiteral("org.pexlora.Pexlora.instance"));
}

SingleInstance::Claim SingleInstance::claim(const QStringList& paths) {
    QDir().mkpath(m_folder);
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
