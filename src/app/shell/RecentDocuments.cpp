// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/RecentDocuments.h"

#include <QFileInfo>
#include <QSettings>

namespace pexlora {

namespace {

const QString key = QStringLiteral("recentDocuments");

QString normalised(const QString& path) {
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

QStringList RecentDocuments::paths() const {
    // The settings file may have been written by anything: the list is read no further
    // than the menu shows, and files that are gone are dropped, for good once it is stored.
    const QVariant stored = QSettings().value(key);
    if (!stored.isValid())
        return {};
    QStringList kept;
    qsizetype read = 0;
    if (stored.canConvert<QStringList>()) {
        const QStringList listed = stored.toStringList();
        for (; read < listed.size() && kept.size() < limit; ++read)
            if (!listed[read].isEmpty() && !kept.contains(listed[read]) && QFileInfo::exists(listed[read]))
                kept.append(listed[read]);
        if (read == listed.size() && kept.size() == listed.size())
            return kept;
    }
    store(kept);
    return kept;
}

void RecentDocuments::add(const QString& path) {
    QStringList list = paths();
    const QString entry = normalised(path);
    list.removeAll(entry);
    list.prepend(entry);
    store(list.mid(0, limit));
}

void RecentDocuments::remove(const QString& path) {
    QStringList list = paths();
    if (list.removeAll(normalised(path)) > 0)
        store(list);
}

void RecentDocuments::clear() {
    QSettings().remove(key);
}

void RecentDocuments::store(const QStringList& list) {
    QSettings().setValue(key, list);
}

} // namespace pexlora
