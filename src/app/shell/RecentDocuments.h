// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace pexlora {

// The files of File ▸ Open Recent, newest first, kept in the per-user settings: at
// most `limit` of them, all still there.
class RecentDocuments {
public:
    static constexpr qsizetype limit = 10;

    QStringList paths() const;
    // Puts `path` first, dropping an older entry for the same file.
    void add(const QString& path);
    void remove(const QString& path);
    void clear();

private:
    static void store(const QStringList& paths);
};

} // namespace pexlora
