#pragma once

#include "app/SymbolButton.h"

namespace pexlora {

// Starts and stops the selection preview; filled with orange while it plays.
class PreviewButton : public SymbolButton {
    Q_OBJECT

public:
    explicit PreviewButton(QWidget* parent = nullptr);

    bool isPlaying() const { return m_playing; }
    void setPlaying(bool playing);

    Look look(const SystemColors& colors) const override;

private:
    void describe();

    bool m_playing = false;
};

} // namespace pexlora
