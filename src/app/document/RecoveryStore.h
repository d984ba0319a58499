// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>
#include <vector>

namespace pexlora {

class PexloraDocument;

// Where the layouts with unsaved changes are kept while they are open, so that a
// crash or a power cut loses at most the last few seconds of work. Each process
// writes into a folder of its own under the user's data folder and holds that
// folder's lock while it runs; a folder whose lock nobody holds belongs to a
// process that ended without cleaning up, and its layouts are the ones to offer.
class RecoveryStore {
public:
    // One layout left behind by a process that ended without saving it.
    struct Leftover {
        QString layout;       // the recovery file itself, a layout like any other
        QString originalPath; // where the document was stored; empty for a new one
        QString name;         // as its window called it
    };

    // Under the user's data folder unless `root` is given.
    explicit RecoveryStore(QString root = {});
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    const QString& root() const { return m_root; }

    // Writes the layout of `document` as `key` (unique within this process)
    // atomically, as a save does; false when it could not be written.
    bool write(const QString& key, const PexloraDocument& document, const QString& originalPath,
               const QString& name);
    void remove(const QString& key);

    // The layouts of processes that are gone. Their folders are claimed, so that a
    // Pexlora starting at the same time does not offer them as well.
    std::vector<Leftover> takeLeftovers();
    // The user declined it, or it is open again under a new key.
    void discard(const Leftover& leftover);
    // For a recovery file that cannot be read: it goes to a folder of its own,
    // where it is no longer offered, and is never deleted. Returns where it lies.
    QString keepAside(const Leftover& leftover);
    // Lets go of the claimed folders, removing those left empty.
    void releaseLeftovers();

private:
    bool claimOwnFolder();
    QString layoutPath(const QString& key) const;
    QString notePath(const QString& key) const;

    QString m_root;
    QString m_own;
    std::unique_ptr<QLockFile> m_ownLock;
    struct Claimed {
        QString folder;
        std::unique_ptr<QLockFile> lock;
    };
    std::vector<Claimed> m_claimed;
};

} // namespace pexlora
