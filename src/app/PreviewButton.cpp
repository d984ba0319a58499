#include "app/PreviewButton.h"

namespace pexlora {

PreviewButton::PreviewButton(QWidget* parent)
    : SymbolButton(QStringLiteral("play.circle"), QString(), {QMargins(10, 5, 10, 5), 0, true}, parent) {
    describe();
}

void PreviewButton::setPlaying(bool playing) {
    if (playing == m_playing)
        return;
    m_playing = playing;
    describe();
    restyle();
}

void PreviewButton::describe() {
    const QString text = m_playing ? tr("Stop Preview") : tr("Preview Selection");
    setToolTip(text);
    setAccessibleName(text);
}

SymbolButton::Look PreviewButton::look(const SystemColors& colors) const {
    if (m_playing)
        return {colors.orange, QColor(Qt::white)};
    return {QColor(Qt::transparent), colors.label};
}

} // namespace pexlora
