// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/BrowserLauncher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace pexlora {

BrowserLauncher::BrowserLauncher(QString opener)
    : m_opener(opener.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("xdg-open")) : std::move(opener)) {}

void BrowserLauncher::open(const QUrl& url, QObject* owner, Done done) const {
    if (m_opener.isEmpty()) {
        const bool opened = QDesktopServices::openUrl(url);
        QTimer::singleShot(0, owner, [done = std::move(done), opened] { done(opened); });
        return;
    }
    // xdg-open may wait for the browser it started to be closed; the process goes
    // with `owner`, the browser stays.
    auto* process = new QProcess(owner);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QObject::connect(process, &QProcess::finished, owner,
                     [process, done](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         done(status == QProcess::NormalExit && exitCode == 0);
                     });
    QObject::connect(process, &QProcess::errorOccurred, owner, [process, done](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        done(false);
    });
    process->start(m_opener, {url.toString(QUrl::FullyEncoded)});
}

} // namespace pexlora
