// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/CellNumberIndex.h"
#include "model/ConsoleChannelSet.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

namespace pexlora {

class EosConnectionManager;
class GridCanvasView;
class GridViewModel;

// Keeps a canvas's console rings on the cells whose numbers the console names as
// its active channels, while "Show Console Selection" is on. The text is read
// once when it changes; the index of cell numbers is built again only when the
// cells have changed and there is something to find.
class ConsoleSelectionFollower : public QObject {
    Q_OBJECT

public:
    ConsoleSelectionFollower(GridViewModel* model, GridCanvasView* canvas, EosConnectionManager* eosManager,
                             QObject* parent = nullptr);

    bool isShown() const { return m_shown; }
    void setShown(bool shown);

    // What arrives from the console as "/eos/out/active/chan".
    void follow(const QString& activeChannels);

private:
    void ring();

    QPointer<GridViewModel> m_model;
    QPointer<GridCanvasView> m_canvas;
    bool m_shown = true;
    QString m_text;
    ConsoleChannelSet m_channels;
    std::optional<CellNumberIndex> m_index; // absent while the cells changed since it was built
};

} // namespace pexlora
