// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/document/DocumentFileWatch.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace pexlora {

namespace {

// Long enough for another program to finish writing before the file is looked at.
constexpr int settleMs = 250;

} // namespace

DocumentFileWatch::DocumentFileWatch(QObject* parent)
    : QObject(parent) {
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_settle, &QTimer::timeout, this, &DocumentFileWatch::settled);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, &m_settle, qOverload<>(&QTimer::start));
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle, qOverload<>(&QTimer::start));
}

void DocumentFileWatch::track(const QString& path) {
    if (path != m_path) {
        if (!m_watcher.files().isEmpty())
            m_watcher.removePaths(m_watcher.files());
        if (!m_watcher.directories().isEmpty())
            m_watcher.removePaths(m_watcher.directories());
    }
    m_path = path;
    m_stamp = path.isEmpty() ? Stamp{} : stampOf(path);
    m_stamp.hash = path.isEmpty() ? QByteArray() : hashOf(path);
    m_told = {};
    watch();
}

DocumentFileWatch::Stamp DocumentFileWatch::stampOf(const QString& path) {
    const QFileInfo file(path);
    if (!file.exists())
        return {};
    return {file.size(), file.lastModified(), {}};
}

QByteArray DocumentFileWatch::hashOf(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return hash.result();
}

bool DocumentFileWatch::changedElsewhere() const {
    if (m_path.isEmpty())
        return false;
    const Stamp now = stampOf(m_path);
    if (now.size < 0 || now.sameFileAs(m_stamp))
        return false;
    // Only a file of the same size touched since is read, to tell a touch from a change.
    return now.size != m_stamp.size || hashOf(m_path) != m_stamp.hash;
}

void DocumentFileWatch::watch() {
    if (m_path.isEmpty())
        return;
    // A save that replaces the file (ours or another program's) ends the watch on the
    // old one; the folder's watch sees the new one come.
    if (QFileInfo::exists(m_path) && !m_watcher.files().contains(m_path))
        m_watcher.addPath(m_path);
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!m_watcher.directories().contains(folder))
        m_watcher.addPath(folder);
}

void DocumentFileWatch::settled() {
    watch();
    const Stamp now = stampOf(m_path);
    if (now.sameFileAs(m_told) || !changedElsewhere())
        return;
    m_told = now;
    emit changedOnDisk();
}

} // namespace pexlora
