// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console/SelectionBarView.h"

#include "app/console/RecGroupPopover.h"
#include "app/console/RecordGroupButton.h"
#include "eos/EosCommandLines.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosGroupDirectory.h"
#include "eos/EosGroupRecorder.h"
#include "model/GridViewModel.h"
#include "widgets/Divider.h"
#include "widgets/PlainMessage.h"
#include "widgets/SystemColors.h"
#include "widgets/PlainLabel.h"
#include "widgets/TextStyles.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <memory>

namespace pexlora {

namespace {

const QKeySequence recordGroupKeys(Qt::CTRL | Qt::Key_G);

} // namespace

SelectionBarView::SelectionBarView(GridViewModel* model, EosConnectionManager* eosManager, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_eosManager(eosManager)
    , m_area(new QScrollArea(this))
    , m_text(new PlainLabel(QString(), m_area))
    , m_buttonHolder(new QWidget(this))
    , m_more(new PlainLabel(QStringLiteral("…"), this))
    , m_report(new PlainLabel(QString(), this))
    , m_button(new RecordGroupButton(m_buttonHolder))
    , m_recordGroup(new QAction(tr("Record Group…"), this))
    , m_popover(this) {
    setAutoFillBackground(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    stack->addWidget(new Divider(this));

    auto* row = new QWidget(this);
    row->setFixedHeight(rowHeight);
    auto* overlay = new QGridLayout(row);
    overlay->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(row);

    m_text->setFont(monospacedFont(13));
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Numbers come from files and are shown as stored, never read as markup.
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The text can be selected and copied with the mouse, but the keyboard stays
    // with the canvas, where Delete and the modifier keys are wanted.
    m_text->setFocusPolicy(Qt::NoFocus);
    m_area->setFocusPolicy(Qt::NoFocus);
    m_area->setWidget(m_text);
    m_area->setWidgetResizable(true);
    m_area->setFrameShape(QFrame::NoFrame);
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_area->viewport()->setAutoFillBackground(false);
    m_area->viewport()->installEventFilter(this);
    m_text->setAutoFillBackground(false);
    overlay->addWidget(m_area, 0, 0);

    // The button stands on the bar's own ground over the end of the text line.
    m_buttonHolder->setAutoFillBackground(true);
    auto* holderLayout = new QHBoxLayout(m_buttonHolder);
    holderLayout->setContentsMargins(10, 6, 10, 6);
    holderLayout->setSpacing(10);
    holderLayout->addWidget(m_report);
    holderLayout->addWidget(m_button);
    m_report->setFont(captionFont(font()));
    m_report->hide();
    overlay->addWidget(m_buttonHolder, 0, 0, Qt::AlignRight | Qt::AlignVCenter);
    m_buttonHolder->installEventFilter(this);

    m_more->setParent(row);
    m_more->setFont(m_text->font());
    m_more->setAutoFillBackground(true);
    m_more->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_more->setContentsMargins(6, 0, 2, 0);
    m_more->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_more->hide();
    connect(m_area->horizontalScrollBar(), &QScrollBar::valueChanged, this, &SelectionBarView::showMoreMarker);
    connect(m_area->horizontalScrollBar(), &QScrollBar::rangeChanged, this, &SelectionBarView::showMoreMarker);

    m_button->setText(tr("Rec. Group %1").arg(recordGroupKeys.toString(QKeySequence::NativeText)));
    m_button->setAccessibleName(tr("Record Group"));
    m_button->setToolTip(tr("Record the selection on the console as a group"));
    m_recordGroup->setObjectName(QStringLiteral("consoleRecordGroup"));
    m_recordGroup->setShortcut(recordGroupKeys);
    m_recordGroup->setShortcutContext(Qt::WindowShortcut);
    // Here as well as in the window's menu, so that the key works where the bar is shown without one.
    addAction(m_recordGroup);
    connect(m_button, &RecordGroupButton::clicked, m_recordGroup, &QAction::trigger);
    connect(m_recordGroup, &QAction::triggered, this, &SelectionBarView::pressRecordGroup);
    if (m_eosManager)
        connect(&m_eosManager->recorder(), &EosGroupRecorder::reportChanged, this, &SelectionBarView::showReport);

    for (auto changed : {&GridViewModel::selectionGroupsChanged, &GridViewModel::elementsChanged,
                         &GridViewModel::selectionModifierChanged, &GridViewModel::modeChanged})
        connect(model, changed, this, &SelectionBarView::showSelection);
    connect(model, &GridViewModel::selectionGroupsChanged, this, &SelectionBarView::showRecordable);
    connect(model, &GridViewModel::modeChanged, this, &SelectionBarView::showRecordable);
    showSelection();
    showRecordable();
    showReport();
}

bool SelectionBarView::canRecordGroup(const SelectionGroups& selectionGroups, AppMode mode) {
    return !selectionGroups.empty() && mode == AppMode::select;
}

RecGroupPopover* SelectionBarView::recGroupPanel() const {
    return m_popover.panel<RecGroupPopover>();
}

void SelectionBarView::showSelection() {
    if (!m_model)
        return;
    m_text->setText(
        selectionBarText(m_model->selectionGroups(), m_model->elements(), m_model->selectionModifier()));
    showMoreMarker();
}

void SelectionBarView::showMoreMarker() {
    const QScrollBar* bar = m_area->horizontalScrollBar();
    const bool more = bar->value() < bar->maximum();
    // The whole selection is there to read where the line cannot show it, broken
    // after its commas (by an unseen space) so that it is not wider than the screen.
    QString whole = m_text->text();
    whole.replace(u',', QStringLiteral(",\u200B"));
    m_area->setToolTip(bar->maximum() > 0 ? plainToolTip(whole, true) : QString());
    m_more->setVisible(more);
    if (!more)
        return;
    const int width = m_more->sizeHint().width();
    m_more->setGeometry(m_buttonHolder->x() - width, m_buttonHolder->y(), width, m_buttonHolder->height());
    m_more->raise();
}

void SelectionBarView::showReport() {
    if (!m_eosManager)
        return;
    // The last recording's fate stays beside the button until the next one.
    using Tone = EosGroupRecorder::Report::Tone;
    const EosGroupRecorder::Report& report = m_eosManager->recorder().report();
    QColor SystemColors::*ink = &SystemColors::secondaryLabel;
    if (report.tone == Tone::good)
        ink = &SystemColors::green;
    else if (report.tone == Tone::bad)
        ink = &SystemColors::red;
    m_report->setInk([ink](const SystemColors& colors) { return colors.*ink; });
    m_report->setText(report.text);
    m_report->setAccessibleName(report.text);
    m_report->setVisible(!report.text.isEmpty());
}

void SelectionBarView::showRecordable() {
    const bool recordable = m_model && canRecordGroup(m_model->selectionGroups(), m_model->mode());
    m_button->setEnabled(recordable);
    m_recordGroup->setEnabled(recordable);
}

void SelectionBarView::pressRecordGroup() {
    m_groupNumberText.clear();
    if (RecGroupPopover* open = recGroupPanel()) {
        open->setText(m_groupNumberText);
        return;
    }
    auto panel = std::make_unique<RecGroupPopover>(m_eosManager ? &m_eosManager->groups() : nullptr);
    connect(panel.get(), &RecGroupPopover::textEdited, this,
            [this](const QString& text) { m_groupNumberText = text; });
    connect(panel.get(), &RecGroupPopover::submitted, this, &SelectionBarView::submit);
    // The bar lies along the bottom of the window: the popover rises from it into the window.
    m_popover.open(std::move(panel), m_button, Popover::Edge::above);
}

void SelectionBarView::submit() {
    if (m_model && m_eosManager)
        m_eosManager->recordGroup(m_groupNumberText, m_model->selectionGroups(), m_model->elements());
    m_popover.close();
}

bool SelectionBarView::eventFilter(QObject* watched, QEvent* event) {
    // The end of a long text can be scrolled out from beneath the button.
    if (watched == m_buttonHolder && event->type() == QEvent::Resize)
        m_text->setContentsMargins(12, 0, 12 + m_buttonHolder->width(), 0);
    if (watched == m_buttonHolder && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        showMoreMarker();
    // A plain mouse wheel has no sideways motion; in this one-line area it scrolls sideways.
    if (watched == m_area->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint delta = wheel->pixelDelta().isNull() ? wheel->angleDelta() / 6 : wheel->pixelDelta();
        QScrollBar* bar = m_area->horizontalScrollBar();
        bar->setValue(bar->value() - (delta.x() != 0 ? delta.x() : delta.y()));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pexlora
