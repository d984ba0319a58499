#include "app/SelectKeyLegend.h"

#include "app/KeyChip.h"
#include "app/KeyNames.h"
#include "canvas/CanvasGeometry.h"
#include "canvas/MarqueeColors.h"

#include <QHBoxLayout>

namespace pexlora {

SelectKeyLegend::SelectKeyLegend(QWidget* parent)
    : QWidget(parent) {
    struct Key {
        Qt::KeyboardModifier modifier;
        const char* label;
        const char* effect; // for screen readers
    };
    // Command is Qt's Control modifier and Control its Meta modifier on macOS;
    // elsewhere they are Ctrl and Meta (the Super key).
    const Key keys[] = {
        {Qt::ShiftModifier, QT_TR_NOOP("Vertical"), QT_TR_NOOP("selects vertically")},
        {Qt::AltModifier, QT_TR_NOOP("columns"), QT_TR_NOOP("selects columns")},
        {Qt::ControlModifier, QT_TR_NOOP("rows"), QT_TR_NOOP("selects rows")},
        {Qt::MetaModifier, QT_TR_NOOP("diagonal"), QT_TR_NOOP("selects diagonally")},
    };
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    QStringList spoken;
    for (const Key& key : keys) {
        // In the marquee's colour for the same key.
        const SystemColorRole color = marqueeColorRole(marqueeModifierFromFlags(key.modifier));
        row->addWidget(new KeyChip(modifierKeySymbol(key.modifier), tr(key.label), color, this), 0,
                       Qt::AlignVCenter);
        spoken.append(modifierKeyName(key.modifier) + QLatin1Char(' ') + tr(key.effect));
    }
    setAccessibleName(tr("Modifier keys: %1").arg(spoken.join(QStringLiteral(", "))));
}

QList<KeyChip*> SelectKeyLegend::chips() const {
    return findChildren<KeyChip*>(Qt::FindDirectChildrenOnly);
}

} // namespace pexlora
