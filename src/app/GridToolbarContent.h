#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;

namespace pexlora {

class EditModeButton;
class EditToolPicker;
class GridViewModel;
class PreviewButton;
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
    PreviewButton* previewButton() const { return m_preview; }
    EditModeButton* editModeButton() const { return m_editMode; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void showMode();
    void showZoom();
    void colourZoom();

    QPointer<GridViewModel> m_model;
    EditToolPicker* m_picker;
    SelectKeyLegend* m_legend;
    QLabel* m_zoom;
    PreviewButton* m_preview;
    EditModeButton* m_editMode;
};

} // namespace pexlora
