// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace pexlora {

// The help page in a window of the program's own, for a desktop where no web
// browser could be started. The page is the one shipped with the program; links
// within it are followed, links out of it are not.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(const QString& page, QWidget* parent = nullptr);

    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
};

} // namespace pexlora
