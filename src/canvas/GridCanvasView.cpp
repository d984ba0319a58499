#include "canvas/GridCanvasView.h"

#include "model/GridViewModel.h"

#include <QPainter>
#include <QPaintEvent>

namespace pexlora {

GridCanvasView::GridCanvasView(QWidget* parent)
    : QWidget(parent) {}

GridCanvasView::~GridCanvasView() = default;

void GridCanvasView::setViewModel(GridViewModel* model) {
    if (model == m_model)
        return;
    m_model = model;
    update();
}

void GridCanvasView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
}

} // namespace pexlora
