// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <chrono>

namespace pexlora {

// Keeps Pexlora to one process per user session, so that a file is never open in
// two processes that would overwrite each other unseen, and there is one console
// link. The first process listens on a local socket in the user's runtime folder;
// a later one hands its files to it and ends. The socket lives only in a folder that
// is the user's alone: whoever could take its name first would be handed the files
// this user opens.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // A connection that sends nothing for this long is closed, and no more than
    // `maximumConnections` are held at once, so that idle ones cannot crowd out a hand-over.
    static constexpr std::chrono::milliseconds silenceLimit{2000};
    static constexpr qsizetype maximumConnections = 16;

    enum class Claim {
        primary,    // this process is the running instance now
        handedOver, // the running instance took the files
        unanswered, // an instance is there but did not take them
    };

    // The socket and its lock live in `folder`; when it is empty, in the user's runtime
    // folder, or else in a folder of the user's own under the cache folder. A folder
    // that others may enter is not used: then there is no hand-over.
    explicit SingleInstance(QString folder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Hands `paths` (absolute; none means "come forward") to the instance already
    // running, or becomes that instance. A socket left behind by a crashed instance
    // is replaced. Without a private folder this process is primary, alone.
    Claim claim(const QStringList& paths);

    // Why this primary does not listen (the folder may be unusable); empty when it does.
    QString listenError() const { return m_listenError; }
    QString socketPath() const;

signals:
    // Files handed over by a later process; empty when it was started without any.
    void pathsReceived(const QStringList& paths);

private:
    bool handOver(const QStringList& paths);
    void accept(QLocalSocket* socket);
    void readFrom(QLocalSocket* socket);

    QString m_folder; // empty when no private one could be had
    QLocalServer m_server;
    QString m_listenError;
    QList<QPointer<QLocalSocket>> m_connections;
};

} // namespace pexlora
