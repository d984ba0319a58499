// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas/SelectionPreview.h"

#include "canvas/CanvasClock.h"

#include <algorithm>
#include <numeric>

namespace pexlora {

SelectionPreview::SelectionPreview(const CanvasClock& clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(tickIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &SelectionPreview::tick);
}

std::vector<SelectionPreview::Frame> SelectionPreview::previewFrames(const SelectionGroups& groups,
                                                                     MarqueeModifier modifier) {
    std::vector<Frame> frames;
    const bool oneRun = modifier == MarqueeModifier::none || modifier == MarqueeModifier::shift;
    if (oneRun && groups.size() == 1) {
        for (const QUuid& id : groups.front())
            frames.push_back({id});
        return frames;
    }
    frames.assign(groups.begin(), groups.end());
    return frames;
}

void SelectionPreview::synchronise(const GridViewModel& model) {
    m_model = &model;
    if (!model.isPreviewPlaying() || model.selectionGroups().empty()) {
        stop();
        return;
    }
    const std::vector<Frame> frames = previewFrames(model.selectionGroups(), model.selectionModifier());
    if (frames.empty() || frames.front().empty()) {
        stop();
        return;
    }
    // Fewer than two selected IDs have nothing to step through: the one cell
    // stays lit without a timer, and a selection that grows starts the animation.
    const std::size_t selected =
        std::accumulate(model.selectionGroups().begin(), model.selectionGroups().end(), std::size_t(0),
                        [](std::size_t n, const auto& group) { return n + group.size(); });
    if (selected < 2) {
        if (m_state == State::steady && m_active == QSet<QUuid>(frames.front().begin(), frames.front().end()))
            return;
        stop();
        start(frames, State::steady);
        return;
    }
    // A running animation keeps its place and its trail when the selection changes.
    if (m_state == State::animating)
        return;
    stop();
    start(frames, State::animating);
}

void SelectionPreview::start(const std::vector<Frame>& frames, State state) {
    m_frameIndex = 0;
    m_active = QSet<QUuid>(frames.front().begin(), frames.front().end());
    m_deactivated.clear();
    m_frameStart = m_clock.now();
    m_state = state;
    if (state == State::animating)
        m_timer.start();
    emit cellsChanged(m_active);
}

void SelectionPreview::stop() {
    if (m_state == State::stopped)
        return;
    m_timer.stop();
    m_state = State::stopped;
    QSet<QUuid> unlit = m_active;
    for (auto it = m_deactivated.cbegin(); it != m_deactivated.cend(); ++it)
        unlit.insert(it.key());
    m_active.clear();
    m_deactivated.clear();
    emit cellsChanged(unlit);
}

double SelectionPreview::glow(const QUuid& id, double now) const {
    if (m_state == State::stopped)
        return 0.0;
    if (m_active.contains(id))
        return 1.0;
    const auto it = m_deactivated.constFind(id);
    if (it == m_deactivated.constEnd())
        return 0.0;
    return std::max(0.0, 1.0 - (now - *it) / trailDuration);
}

void SelectionPreview::tick() {
    if (m_state != State::animating)
        return;
    const GridViewModel* model = m_model;
    if (!model || !model->isPreviewPlaying() || model->flatSelection().size() < 2) {
        stop();
        return;
    }
    const std::vector<Frame> frames = previewFrames(model->selectionGroups(), model->selectionModifier());
    if (frames.empty()) {
        stop();
        return;
    }
    // The selection may have changed since the last tick.
    m_frameIndex %= frames.size();
    const double now = m_clock.now();
    QSet<QUuid> changed;
    if (now - m_frameStart >= frameDuration) {
        for (const QUuid& id : frames[m_frameIndex])
            m_deactivated.insert(id, now);
        m_frameIndex = (m_frameIndex + 1) % frames.size();
        m_frameStart = now;
        QSet<QUuid> lit(frames[m_frameIndex].begin(), frames[m_frameIndex].end());
        for (const QUuid& id : std::as_const(lit))
            m_deactivated.remove(id);
        // A frame lit again (a selection of one frame) changes nothing on screen.
        if (lit != m_active) {
            changed = lit;
            changed.unite(m_active);
            m_active = std::move(lit);
        }
    }
    // Fading cells change every tick; a trail that has gone dark is painted once
    // more at nothing and then forgotten, so the set stays as small as the trail.
    for (auto it = m_deactivated.begin(); it != m_deactivated.end();) {
        changed.insert(it.key());
        if (now - *it >= trailDuration)
            it = m_deactivated.erase(it);
        else
            ++it;
    }
    emit cellsChanged(changed);
}

} // namespace pexlora
