// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosPatchReply.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QUuid>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace pexlora {

class EosPatchDirectory;
class GridCanvasView;
class GridViewModel;
class LiveLevelsSource;
struct GridElement;

// Puts the desk's words on one window's cells: each cell's live level while "Show Live
// Levels" is on, a mark on the cells whose channel the desk does not patch, and the
// patch's label, fixture type and address in the cell's tooltip. A level change reaches
// only the cells of the universes it came in.
class LiveLevelsFollower : public QObject {
    Q_OBJECT

public:
    LiveLevelsFollower(GridViewModel* model, GridCanvasView* canvas, EosPatchDirectory* patch,
                       LiveLevelsSource* levels, QObject* parent = nullptr);
    ~LiveLevelsFollower() override;

    bool isShown() const { return m_shown; }
    void setShown(bool shown);

    // What the tooltip of `cell` says; "" while the desk's patch is not known.
    QString toolTip(const GridElement& cell) const;
    // "75 %", "Full", as the tooltip gives a level.
    static QString levelText(float level);

private:
    // A cell whose channel has an intensity address.
    struct Target {
        QUuid cell;
        EosPatchPart part; // a copy: the patch may change under it before this hears so
    };

    void rebuild();
    void refresh(const std::vector<std::uint16_t>& universes);
    const std::vector<EosPatchPart>* partsOf(const GridElement& cell) const;

    QPointer<GridViewModel> m_model;
    QPointer<GridCanvasView> m_canvas;
    QPointer<EosPatchDirectory> m_patch;
    QPointer<LiveLevelsSource> m_levels;
    bool m_shown = true;
    std::vector<Target> m_targets;
    std::map<std::uint16_t, std::vector<std::size_t>> m_byUniverse; // into m_targets
    QHash<QUuid, float> m_drawn;
};

} // namespace pexlora
