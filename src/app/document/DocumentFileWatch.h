// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

namespace pexlora {

// What a document's file held when its window last read or wrote it, and a watch on
// it: so that a save never writes over what another program put there unseen, and a
// layout without edits can be offered again as the file now has it.
class DocumentFileWatch : public QObject {
    Q_OBJECT

public:
    explicit DocumentFileWatch(QObject* parent = nullptr);

    // The file at `path` is, as it is now, what the window holds (it was just read or
    // written). Empty for a document that has no file.
    void track(const QString& path);
    // The file is there and holds something else than when it was tracked. A file
    // that is gone holds nothing a save could lose.
    bool changedElsewhere() const;

signals:
    // Another program changed the tracked file; sent once the file has settled.
    void changedOnDisk();

private:
    struct Stamp {
        qint64 size = -1;
        QDateTime modified;
        QByteArray hash; // of the content, for a file touched but not changed

        bool sameFileAs(const Stamp& other) const { return size == other.size && modified == other.modified; }
    };

    static Stamp stampOf(const QString& path);
    static QByteArray hashOf(const QString& path);
    void watch();
    void settled();

    QString m_path;
    Stamp m_stamp;
    Stamp m_told; // the change last told of, which is not told again
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};

} // namespace pexlora
