// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

namespace pexlora {

// Opens an address in the desktop's browser and tells, later, whether it was.
// QDesktopServices only knows that xdg-open started, not that a browser was found,
// so on desktops that have xdg-open it is run here and its exit status read.
class BrowserLauncher {
public:
    using Done = std::function<void(bool opened)>;

    // `opener` is the xdg-open to run; empty for the one on the PATH.
    explicit BrowserLauncher(QString opener = {});

    // `done` runs from the event loop, unless `owner` is gone by then.
    void open(const QUrl& url, QObject* owner, Done done) const;

private:
    QString m_opener;
};

} // namespace pexlora
