#include "app/RecentDocuments.h"

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
    return QSettings().value(key).toStringList();
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
