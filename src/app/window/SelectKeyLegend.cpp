// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/SelectKeyLegend.h"

#include "app/window/KeyChip.h"
#include "app/window/KeyNames.h"
#include "canvas/MarqueeColors.h"
#include "model/GridViewModel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHBoxLayout>

namespace pexlora {

namespace {

// To a screen reader the legend is one element, its text saying it all; the chips
// inside are not read out one by one.
class LegendAccessible : public QAccessibleWidget {
public:
    explicit LegendAccessible(QWidget* legend)
        : QAccessibleWidget(legend, QAccessible::StaticText) {}

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
};

QAccessibleInterface* legendAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(SelectKeyLegend::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new LegendAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

SelectKeyLegend::SelectKeyLegend(GridViewModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model) {
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(legendAccessible);
        return true;
    }();
    Q_UNUSED(accessibleInstalled);

    struct Key {
        Qt::KeyboardModifier modifier;
        MarqueeModifier order;
        const char* label;
        const char* effect; // for screen readers
    };
    // Command is Qt's Control modifier and Control its Meta modifier on macOS;
    // elsewhere they are Ctrl and Meta (the Super key).
    const Key keys[] = {
        {Qt::ShiftModifier, MarqueeModifier::shift, QT_TR_NOOP("vertical"), QT_TR_NOOP("selects vertically")},
        {Qt::AltModifier, MarqueeModifier::option, QT_TR_NOOP("columns"), QT_TR_NOOP("selects columns")},
        {Qt::ControlModifier, MarqueeModifier::command, QT_TR_NOOP("rows"), QT_TR_NOOP("selects rows")},
        {Qt::MetaModifier, MarqueeModifier::control, QT_TR_NOOP("diagonal"),
         QT_TR_NOOP("selects diagonally")},
    };
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    for (const Key& key : keys) {
        // In the marquee's colour for the same key.
        auto* chip =
            new KeyChip(modifierKeySymbol(key.modifier), tr(key.label), marqueeColorRole(key.order), this);
        chip->setToolTip(tr("Hold %1, or click here to take this order for the following marquees "
                            "until you click again or press Escape")
                             .arg(modifierKeyName(key.modifier)));
        row->addWidget(chip, 0, Qt::AlignVCenter);
        m_chips.push_back(
            {chip, key.order, modifierKeyName(key.modifier) + QLatin1Char(' ') + tr(key.effect)});
        connect(chip, &KeyChip::clicked, this, [this, order = key.order](bool checked) {
            if (m_model)
                m_model->setLatchedMarqueeModifier(checked ? order : MarqueeModifier::none);
            showLatched();
        });
    }
    if (model)
        connect(model, &GridViewModel::latchedMarqueeModifierChanged, this, &SelectKeyLegend::showLatched);
    showLatched();
}

QList<KeyChip*> SelectKeyLegend::chips() const {
    return findChildren<KeyChip*>(Qt::FindDirectChildrenOnly);
}

void SelectKeyLegend::showLatched() {
    const MarqueeModifier latched = m_model ? m_model->latchedMarqueeModifier() : MarqueeModifier::none;
    QStringList spoken;
    QString latchedSpoken;
    for (const Chip& chip : m_chips) {
        const bool on = chip.order == latched && latched != MarqueeModifier::none;
        chip.chip->setChecked(on);
        spoken.append(chip.spoken);
        if (on)
            latchedSpoken = chip.spoken;
    }
    QString name = tr("Modifier keys: %1").arg(spoken.join(QStringLiteral(", ")));
    if (!latchedSpoken.isEmpty())
        name += tr("; latched without the key: %1").arg(latchedSpoken);
    setAccessibleName(name);
}

} // namespace pexlora
