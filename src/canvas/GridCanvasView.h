#pragma once

#include "model/GridViewModel.h"

#include <QPointer>
#include <QWidget>

namespace pexlora {

// The grid of one document window: draws the cells of a model and turns pointer,
// wheel, pinch and key input into calls on it.
class GridCanvasView : public QWidget {
    Q_OBJECT

public:
    explicit GridCanvasView(QWidget* parent = nullptr);
    ~GridCanvasView() override;

    GridViewModel* viewModel() const { return m_model; }
    // Shows another model; handing it the one it already shows changes nothing.
    void setViewModel(GridViewModel* model);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<GridViewModel> m_model;
};

} // namespace pexlora
