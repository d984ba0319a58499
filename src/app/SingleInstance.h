#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

namespace pexlora {

// Keeps Pexlora to one process per user session, so that a file is never open in
// two processes that would overwrite each other unseen, and there is one console
// link. The first process listens on a local socket in the user's runtime folder;
// a later one hands its files to it and ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    enum class Claim {
        primary,    // this process is the running instance now
        handedOver, // the running instance took the files
        unanswered, // an instance is there but did not take them
    };

    // The socket and its lock live in `folder`; the user's runtime folder when empty.
    explicit SingleInstance(QString folder = {}, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Hands `paths` (absolute; none means "come forward") to the instance already
    // running, or becomes that instance. A socket left behind by a crashed instance
    // is replaced.
    Claim claim(const QStringList& paths);

    // Why this primary does not listen (the folder may be unusable); empty when it does.
    QString listenError() const { return m_listenError; }
    QString socketPath() const;

signals:
    // Files handed over by a later process; empty when it was started without any.
    void pathsReceived(const QStringList& paths);

private:
    bool handOver(const QStringList& paths);
    void readFrom(QLocalSocket* socket);

    QString m_folder;
    QLocalServer m_server;
    QString m_listenError;
};

} // namespace pexlora
