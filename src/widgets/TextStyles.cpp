// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TextStyles.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace pexlora {

QFont headlineFont(const QFont& base) {
    QFont font = base;
    font.setWeight(QFont::DemiBold);
    return font;
}

QFont captionFont(const QFont& base) {
    QFont font = base;
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 0.85);
    else
        font.setPixelSize(std::max(8, font.pixelSize() * 85 / 100));
    return font;
}

QFont sizedFont(const QFont& base, int pixelSize, QFont::Weight weight) {
    QFont font = base;
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont monospacedFont(int pixelSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(pixelSize);
    // Some desktops resolve "monospace" to a face that declares no fixed pitch (a
    // variable Noto Sans Mono, say); asking for a fixed pitch outright finds a
    // face whose columns of channel numbers line up.
    if (!QFontInfo(font).fixedPitch()) {
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
        if (!QFontInfo(font).fixedPitch()) {
            for (const QString& family : QFontDatabase::families()) {
                if (QFontDatabase::isFixedPitch(family)) {
                    font.setFamilies({family});
                    break;
                }
            }
        }
    }
    return font;
}

} // namespace pexlora
