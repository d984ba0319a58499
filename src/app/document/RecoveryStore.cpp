// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/document/RecoveryStore.h"

#include "model/PexloraDocument.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>
#include <sys/stat.h>
#include <unistd.h>

namespace pexlora {

namespace {

// Unsaved layouts and the paths in their notes are the user's alone.
constexpr QFile::Permissions folderMode = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
constexpr QFile::Permissions fileMode = QFile::ReadOwner | QFile::WriteOwner;

const QString lockName = QStringLiteral("instance.lock");
const QString keptFolder = QStringLiteral("kept");
const QString layoutSuffix = QStringLiteral(".pexlora");
const QString noteSuffix = QStringLiteral(".json");

// The note beside a layout says what it belongs to. It is written first, so a
// layout never lies there without it for long; a note alone is of no use.
QByteArray noteBytes(const QString& originalPath, const QString& name) {
    return QJsonDocument(QJsonObject{{QStringLiteral("path"), originalPath}, {QStringLiteral("name"), name}})
        .toJson();
}

bool writeAtomically(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.setPermissions(fileMode) &&
           file.write(bytes) == bytes.size() && file.commit();
}

// Every name in the store is one the store made: a UUID, with a suffix for files.
bool isStoreName(const QString& name, const QString& suffix = {}) {
    if (!name.endsWith(suffix))
        return false;
    const QString stem = name.chopped(suffix.size());
    return QUuid::fromString(stem).toString(QUuid::WithoutBraces) == stem;
}

// What is really at `path`, links not followed: a symlink planted in the store
// must never lead a listing or a removal into the user's other files.
bool isOwn(const QString& path, mode_t type) {
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && (status.st_mode & S_IFMT) == type &&
           status.st_uid == ::getuid();
}

// Removes a file the store wrote, and nothing else.
void removeOwnFile(const QString& path) {
    const QFileInfo file(path);
    if (isStoreName(file.fileName(), QLatin1Char('.') + file.suffix()) && isOwn(path, S_IFREG))
        QFile::remove(path);
}

bool makePrivateFolder(const QString& folder) {
    if (isOwn(folder, S_IFDIR))
        return QFile::setPermissions(folder, folderMode);
    return QDir().mkdir(folder, folderMode);
}

std::unique_ptr<QLockFile> lockOf(const QString& folder) {
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(lockName));
    // Only a holder that is no longer running makes a lock stale, however old it is.
    lock->setStaleLockTime(0);
    return lock;
}

} // namespace

RecoveryStore::RecoveryStore(QString root)
    : m_root(root.isEmpty() ? QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
                                  .filePath(QStringLiteral("recovery"))
                            : std::move(root)) {}

RecoveryStore::~RecoveryStore() {
    releaseLeftovers();
    if (m_ownLock) {
        m_ownLock->unlock();
        QDir().rmdir(m_own); // only when nothing is left in it
    }
}

bool RecoveryStore::claimOwnFolder() {
    if (m_ownLock)
        return true;
    // A Pexlora starting at this moment may take a new folder for a leftover one
    // before it is locked here; then another name is taken.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString folder = QDir(m_root).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces));
        if (!QDir().mkpath(QFileInfo(m_root).absolutePath()) || !makePrivateFolder(m_root) ||
            !makePrivateFolder(folder))
            return false;
        auto lock = lockOf(folder);
        if (lock->tryLock(0)) {
            m_own = folder;
            m_ownLock = std::move(lock);
            return true;
        }
    }
    return false;
}

QString RecoveryStore::layoutPath(const QString& key) const {
    return QDir(m_own).filePath(key + layoutSuffix);
}

QString RecoveryStore::notePath(const QString& key) const {
    return QDir(m_own).filePath(key + noteSuffix);
}

bool RecoveryStore::write(const QString& key, const PexloraDocument& document, const QString& originalPath,
                          const QString& name) {
    if (!claimOwnFolder())
        return false;
    // The folder is the user's alone, so the moment the layout has the save's mode does no harm.
    return writeAtomically(notePath(key), noteBytes(originalPath, name)) &&
           document.save(layoutPath(key)).ok() && QFile::setPermissions(layoutPath(key), fileMode);
}

void RecoveryStore::remove(const QString& key) {
    if (!m_ownLock)
        return;
    removeOwnFile(layoutPath(key));
    removeOwnFile(notePath(key));
}

std::vector<RecoveryStore::Leftover> RecoveryStore::takeLeftovers() {
    std::vector<Leftover> found;
    const QDir root(m_root);
    for (const QString& name :
         root.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks, QDir::Name)) {
        const QString folder = root.filePath(name);
        if (!isStoreName(name) || folder == m_own || !isOwn(folder, S_IFDIR))
            continue;
        auto lock = lockOf(folder);
        if (!lock->tryLock(0))
            continue; // its process is still running
        const QDir files(folder);
        for (const QFileInfo& layout :
             files.entryInfoList({QLatin1Char('*') + layoutSuffix}, QDir::Files | QDir::NoSymLinks,
                                 QDir::Time | QDir::Reversed)) {
            if (!isStoreName(layout.fileName(), layoutSuffix) || !isOwn(layout.filePath(), S_IFREG))
                continue;
            Leftover leftover{layout.filePath(), {}, {}};
            const QString notePath = files.filePath(layout.completeBaseName() + noteSuffix);
            QFile note(notePath);
            if (isOwn(notePath, S_IFREG) && note.open(QIODevice::ReadOnly)) {
                const QJsonObject fields = QJsonDocument::fromJson(note.read(1 << 16)).object();
                leftover.originalPath = fields.value(QStringLiteral("path")).toString();
                leftover.name = fields.value(QStringLiteral("name")).toString();
            }
            if (leftover.name.isEmpty())
                leftover.name =
                    leftover.originalPath.isEmpty() ? QString() : QFileInfo(leftover.originalPath).fileName();
            found.push_back(std::move(leftover));
        }
        m_claimed.push_back({folder, std::move(lock)});
    }
    return found;
}

void RecoveryStore::discard(const Leftover& leftover) {
    const QFileInfo layout(leftover.layout);
    removeOwnFile(layout.filePath());
    removeOwnFile(layout.dir().filePath(layout.completeBaseName() + noteSuffix));
}

QString RecoveryStore::keepAside(const Leftover& leftover) {
    const QFileInfo layout(leftover.layout);
    const QDir kept(QDir(m_root).filePath(keptFolder));
    const QString base = layout.completeBaseName();
    const QString target = kept.filePath(base + layoutSuffix);
    if (!makePrivateFolder(kept.path()) || !isOwn(layout.filePath(), S_IFREG) ||
        !QFile::rename(layout.filePath(), target))
        return layout.filePath(); // it stays where it is, and is offered again next time
    QFile::rename(layout.dir().filePath(base + noteSuffix), kept.filePath(base + noteSuffix));
    return target;
}

void RecoveryStore::releaseLeftovers() {
    for (Claimed& claimed : m_claimed) {
        claimed.lock->unlock();
        QDir folder(claimed.folder);
        // Notes whose layout never came are of no use; anything else keeps the folder.
        for (const QFileInfo& note :
             folder.entryInfoList({QLatin1Char('*') + noteSuffix}, QDir::Files | QDir::NoSymLinks))
            if (!QFileInfo::exists(folder.filePath(note.completeBaseName() + layoutSuffix)))
                removeOwnFile(note.filePath());
        QDir().rmdir(claimed.folder);
    }
    m_claimed.clear();
}

} // namespace pexlora
