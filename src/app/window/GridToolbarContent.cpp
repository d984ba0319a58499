// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/GridToolbarContent.h"

#include "app/window/EditToolPicker.h"
#include "app/window/SelectKeyLegend.h"
#include "app/window/ZoomText.h"
#include "model/GridViewModel.h"
#include "widgets/CapsuleToggleButton.h"
#include "widgets/SecondaryLabel.h"
#include "widgets/SystemColors.h"
#include "widgets/TextStyles.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>

namespace pexlora {

GridToolbarContent::GridToolbarContent(GridViewModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_picker(new EditToolPicker(model, this))
    , m_legend(new SelectKeyLegend(model, this))
    , m_zoom(new SecondaryLabel(QString(), this))
    , m_preview(new CapsuleToggleButton(QStringLiteral("play.circle"), QString(),
                                        {tr("Preview Selection"), tr("Stop Preview"), &SystemColors::orange,
                                         QStringLiteral("stop.circle")},
                                        this))
    , m_editMode(new CapsuleToggleButton(QStringLiteral("square.and.pencil"), tr("Edit Layout"),
                                         {tr("Edit Layout"), tr("Exit Edit Layout"), &SystemColors::accent},
                                         this)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 6, 2);
    row->setSpacing(10);
    // The items stand at the trailing end, as a document window's toolbar items do.
    row->addStretch();
    row->addWidget(m_picker, 0, Qt::AlignVCenter);
    row->addWidget(m_legend, 0, Qt::AlignVCenter);
    row->addWidget(m_zoom, 0, Qt::AlignVCenter);
    row->addWidget(m_preview, 0, Qt::AlignVCenter);
    row->addWidget(m_editMode, 0, Qt::AlignVCenter);

    m_zoom->setFixedWidth(44);
    m_zoom->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_zoom->setFont(captionFont(font()));

    connect(m_preview, &CapsuleToggleButton::clicked, this, [this] {
        if (m_model)
            m_model->setPreviewPlaying(!m_model->isPreviewPlaying());
    });
    connect(m_editMode, &CapsuleToggleButton::clicked, this, [this] {
        if (m_model)
            m_model->setMode(m_model->mode() == AppMode::edit ? AppMode::select : AppMode::edit);
    });
    connect(model, &GridViewModel::modeChanged, this, &GridToolbarContent::showMode);
    connect(model, &GridViewModel::zoomScaleChanged, this, &GridToolbarContent::showZoom);
    connect(model, &GridViewModel::isPreviewPlayingChanged, this,
            [this] { m_preview->setOn(m_model->isPreviewPlaying()); });
    showMode();
    showZoom();
    m_preview->setOn(model->isPreviewPlaying());
}

void GridToolbarContent::showMode() {
    const bool editing = m_model->mode() == AppMode::edit;
    m_picker->setVisible(editing);
    m_legend->setVisible(!editing);
    m_editMode->setOn(editing);
}

void GridToolbarContent::showZoom() {
    const QString text = zoomPercentText(m_model->zoomScale());
    m_zoom->setText(text);
    m_zoom->setAccessibleName(tr("Zoom %1").arg(text));
}

void GridToolbarContent::setZoomMenu(QMenu* menu) {
    m_zoomMenu = menu;
    m_zoom->setCursor(Qt::PointingHandCursor);
    m_zoom->setToolTip(tr("Zoom"));
    m_zoom->installEventFilter(this);
}

bool GridToolbarContent::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_zoom && event->type() == QEvent::MouseButtonPress && m_zoomMenu) {
        m_zoomMenu->popup(m_zoom->mapToGlobal(QPoint(0, m_zoom->height())));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pexlora
