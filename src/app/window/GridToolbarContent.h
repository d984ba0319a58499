// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMenu>
#include <QPointer>
#include <QWidget>

class QLabel;

namespace pexlora {

class CapsuleToggleButton;
class EditToolPicker;
class GridViewModel;
class SelectKeyLegend;

// The toolbar of a document window. It keeps no state of its own: every item
// shows, and writes, fields of the window's model.
class GridToolbarContent : public QWidget {
    Q_OBJECT

public:
    explicit GridToolbarContent(GridViewModel* model, QWidget* parent = nullptr);

    EditToolPicker* toolPicker() const { return m_picker; }
    SelectKeyLegend* keyLegend() const { return m_legend; }
    QLabel* zoomText() const { return m_zoom; }
    // Filled orange while the preview plays.
    CapsuleToggleButton* previewButton() const { return m_preview; }
    // Filled with the accent colour while editing.
    CapsuleToggleButton* editModeButton() const { return m_editMode; }
    // What a click on the zoom percentage offers: the window's zoom commands.
    void setZoomMenu(QMenu* menu);
    QMenu* zoomMenu() const { return m_zoomMenu; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMode();
    void showZoom();

    QPointer<GridViewModel> m_model;
    EditToolPicker* m_picker;
    SelectKeyLegend* m_legend;
    QLabel* m_zoom;
    QPointer<QMenu> m_zoomMenu;
    CapsuleToggleButton* m_preview;
    CapsuleToggleButton* m_editMode;
};

} // namespace pexlora
