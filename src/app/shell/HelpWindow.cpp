// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/HelpWindow.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace pexlora {

HelpWindow::HelpWindow(const QString& page, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Pexlora Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    // Only the page's own anchors lead anywhere: nothing outside it is fetched or opened.
    m_browser->setOpenExternalLinks(false);
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) {
        if (link.isRelative() && link.path().isEmpty() && link.hasFragment())
            m_browser->scrollToAnchor(link.fragment());
    });
    m_browser->setSource(QUrl::fromLocalFile(page), QTextDocument::HtmlResource);
    resize(720, 800);
}

} // namespace pexlora
