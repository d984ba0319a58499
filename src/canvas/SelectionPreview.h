// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/GridViewModel.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QUuid>
#include <vector>

namespace pexlora {

class CanvasClock;

// The selection played back on the grid in its order: the cells of one frame
// light up, the next frame follows after `frameDuration`, and cells just left
// fade out over `trailDuration`. A single selected cell simply stays lit,
// without a timer.
class SelectionPreview : public QObject {
    Q_OBJECT

public:
    static constexpr double frameDuration = 0.06;
    static constexpr double trailDuration = 0.55;
    static constexpr int tickIntervalMs = 16; // about 1/60 s

    using Frame = std::vector<QUuid>;

    SelectionPreview(const CanvasClock& clock, QObject* parent = nullptr);

    // A single ordered run (no modifier or Shift, one group) steps cell by cell;
    // columns, rows and diagonals step a whole group at a time.
    static std::vector<Frame> previewFrames(const SelectionGroups& groups, MarqueeModifier modifier);

    // Called when the model's `isPreviewPlaying`, selection or mode changes:
    // starts or stops the playback to match.
    void synchronise(const GridViewModel& model);
    void stop();

    bool isAnimating() const { return m_timer.isActive(); }
    bool isLit() const { return m_state != State::stopped; }
    // 1 for a lit cell, fading from 1 to 0 over the trail after it went out.
    double glow(const QUuid& id, double now) const;

    // One timer step; public so that tests can step with their own clock.
    void tick();

    const QSet<QUuid>& activeIDs() const { return m_active; }

signals:
    // The cells whose glow may have changed, to be repainted.
    void cellsChanged(const QSet<QUuid>& ids);

private:
    enum class State { stopped, steady, animating };

    void start(const std::vector<Frame>& frames, State state);

    const CanvasClock& m_clock;
    QPointer<const GridViewModel> m_model;
    QTimer m_timer;
    State m_state = State::stopped;
    std::size_t m_frameIndex = 0;
    double m_frameStart = 0;
    QSet<QUuid> m_active;
    QHash<QUuid, double> m_deactivated;
};

} // namespace pexlora
