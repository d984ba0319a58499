// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/OpenFailureReport.h"

#include "app/document/DocumentDialogs.h"

#include <QLocale>

namespace pexlora {

OpenFailureReport::OpenFailureReport(DocumentDialogs& dialogs, QObject* parent)
    : QObject(parent)
    , m_dialogs(dialogs) {}

void OpenFailureReport::add(const QString& name, const QString& reason) {
    m_waiting.push_back({name, reason});
}

void OpenFailureReport::tell(QWidget* parent) {
    if (parent)
        m_parent = parent;
    if (m_showing || m_waiting.empty())
        return;
    const std::vector<Failure> failures = std::exchange(m_waiting, {});
    QString text;
    QString reason;
    if (failures.size() == 1) {
        text = tr("The document “%1” could not be opened.").arg(failures.front().name);
        reason = failures.front().reason;
    } else {
        text = tr("%1 documents could not be opened.").arg(QLocale().toString(qulonglong(failures.size())));
        QStringList lines;
        for (std::size_t i = 0; i < failures.size() && i < listedNames; ++i)
            lines.append(tr("“%1”: %2").arg(failures[i].name, failures[i].reason));
        if (failures.size() > listedNames)
            lines.append(
                tr("and %1 more.").arg(QLocale().toString(qulonglong(failures.size() - listedNames))));
        reason = lines.join(u'\n');
    }
    m_showing = true;
    const QPointer<OpenFailureReport> self(this);
    m_dialogs.openError(m_parent, text, reason, [self] {
        if (!self)
            return;
        self->m_showing = false;
        // Told after the box is gone, from the event loop, not from inside its closing.
        QMetaObject::invokeMethod(
            self, [self] { self->tell(nullptr); }, Qt::QueuedConnection);
    });
}

} // namespace pexlora
