// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridViewModel.h"

#include <QPointer>
#include <QWidget>

class QVBoxLayout;

namespace pexlora {

class GridCanvasView;

// The content of one document window, top to bottom: the canvas, taking all free
// space, then the selection bar, then the console status bar. The two bars are
// handed in by their owners once they exist; until then the canvas fills the window.
class ContentView : public QWidget {
    Q_OBJECT

public:
    static constexpr QSize minimumContentSize{800, 600};

    explicit ContentView(GridViewModel* model, QWidget* parent = nullptr);

    GridCanvasView* canvas() const { return m_canvas; }
    GridViewModel* viewModel() const { return m_model; }

    // Each takes ownership of its bar and replaces the one it held.
    void setSelectionBar(QWidget* bar);
    void setStatusBar(QWidget* bar);
    QWidget* selectionBar() const { return m_selectionBar; }
    QWidget* statusBar() const { return m_statusBar; }

private:
    void place(QPointer<QWidget>& slot, QWidget* bar, int index);

    QPointer<GridViewModel> m_model;
    QVBoxLayout* m_stack;
    GridCanvasView* m_canvas;
    QPointer<QWidget> m_selectionBar;
    QPointer<QWidget> m_statusBar;
};

} // namespace pexlora
