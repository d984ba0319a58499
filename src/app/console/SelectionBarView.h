// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/ModelTypes.h"
#include "widgets/PlainLabel.h"
#include "widgets/PopoverHost.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QScrollArea;
class QAction;

namespace pexlora {

class EosConnectionManager;
class GridViewModel;
class RecGroupPopover;
class RecordGroupButton;

// The bar under the canvas: the selection as text, in a line that scrolls
// sideways beneath the "Rec. Group" button, which records the selection on the
// console as a numbered group after asking for the number in a popover.
class SelectionBarView : public QWidget {
    Q_OBJECT

public:
    static constexpr int rowHeight = 44;

    SelectionBarView(GridViewModel* model, EosConnectionManager* eosManager, QWidget* parent = nullptr);

    // Whether there is something to record, and the mode allows it.
    static bool canRecordGroup(const SelectionGroups& selectionGroups, AppMode mode);

    QLabel* selectionLabel() const { return m_text; }
    QScrollArea* selectionArea() const { return m_area; }
    // "…" at the button's edge while more of the text lies beneath it.
    QLabel* moreMarker() const { return m_more; }
    RecordGroupButton* recordGroupButton() const { return m_button; }
    // What became of the last recording on the desk.
    QLabel* recordingReport() const { return m_report; }
    // Record Group… (Ctrl+G): the one command behind the button, its key and the
    // window's Console menu; enabled while there is something to record.
    QAction* recordGroupAction() const { return m_recordGroup; }
    // The open group-number popover and its content; null while it is closed.
    Popover* recGroupPopover() const { return m_popover.popover(); }
    RecGroupPopover* recGroupPanel() const;
    const QString& groupNumberText() const { return m_groupNumberText; }

    // What the button and its shortcut do: open the popover with an empty field.
    void pressRecordGroup();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSelection();
    void showRecordable();
    void showMoreMarker();
    void showReport();
    void submit();

    QPointer<GridViewModel> m_model;
    QPointer<EosConnectionManager> m_eosManager;
    QScrollArea* m_area;
    QLabel* m_text;
    QWidget* m_buttonHolder;
    QLabel* m_more;
    PlainLabel* m_report;
    RecordGroupButton* m_button;
    QAction* m_recordGroup;
    PopoverHost m_popover;
    QString m_groupNumberText;
};

} // namespace pexlora
