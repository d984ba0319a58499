// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/HelpPage.h"

#include <QDir>
#include <QFileInfo>

namespace pexlora {

QString findHelpPage(const QString& programFolder) {
    const QDir program(programFolder);
    const QString candidates[] = {
        program.filePath(QStringLiteral("help.html")),
        program.filePath(QStringLiteral(PEXLORA_HELP_FROM_PROGRAM "/help.html")),
    };
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(candidate);
    return {};
}

} // namespace pexlora
