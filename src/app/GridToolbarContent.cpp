#include "app/GridToolbarContent.h"

#include "app/EditModeButton.h"
#include "app/EditToolPicker.h"
#include "app/PreviewButton.h"
#include "app/SelectKeyLegend.h"
#include "app/TextStyles.h"
#include "app/ZoomText.h"
#include "model/GridViewModel.h"
#include "widgets/SystemColors.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

namespace pexlora {

GridToolbarContent::GridToolbarContent(GridViewModel* model, QWidget* parent)
    : QWidget(parent)
    , m_model(model)
    , m_picker(new EditToolPicker(model, this))
    , m_legend(new SelectKeyLegend(model, this))
    , m_zoom(new QLabel(this))
    , m_preview(new PreviewButton(this))
    , m_editMode(new EditModeButton(this)) {
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
    colourZoom();

    connect(m_preview, &PreviewButton::clicked, this, [this] {
        if (m_model)
            m_model->setPreviewPlaying(!m_model->isPreviewPlaying());
    });
    connect(m_editMode, &EditModeButton::clicked, this, [this] {
        if (m_model)
            m_model->setMode(m_model->mode() == AppMode::edit ? AppMode::select : AppMode::edit);
    });
    connect(model, &GridViewModel::modeChanged, this, &GridToolbarContent::showMode);
    connect(model, &GridViewModel::zoomScaleChanged, this, &GridToolbarContent::showZoom);
    connect(model, &GridViewModel::isPreviewPlayingChanged, this,
            [this] { m_preview->setPlaying(m_model->isPreviewPlaying()); });
    showMode();
    showZoom();
    m_preview->setPlaying(model->isPreviewPlaying());
}

void GridToolbarContent::showMode() {
    const bool editing = m_model->mode() == AppMode::edit;
    m_picker->setVisible(editing);
    m_legend->setVisible(!editing);
    m_editMode->setEditing(editing);
}

void GridToolbarContent::showZoom() {
    const QString text = zoomPercentText(m_model->zoomScale());
    m_zoom->setText(text);
    m_zoom->setAccessibleName(tr("Zoom %1").arg(text));
}

void GridToolbarContent::colourZoom() {
    QPalette zoomPalette = m_zoom->palette();
    zoomPalette.setColor(QPalette::WindowText, SystemColors::fromPalette(palette()).secondaryLabel);
    m_zoom->setPalette(zoomPalette);
}

void GridToolbarContent::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange)
        colourZoom();
    QWidget::changeEvent(event);
}

} // namespace pexlora
