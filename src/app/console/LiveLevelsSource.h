// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosPatchReply.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace pexlora {

class EosConnectionManager;
class SacnReceiver;

// The desk's live intensities for the whole application: listens to its sACN output for
// the universes its patch puts intensity in, on the interface that reaches it, while a
// patch is known. Windows read levels through `level`.
class LiveLevelsSource : public QObject {
    Q_OBJECT

public:
    // `receiver` is the one listener of the application; it is not started until the
    // desk's patch names a universe.
    LiveLevelsSource(EosConnectionManager& link, std::unique_ptr<SacnReceiver> receiver,
                     QObject* parent = nullptr);
    ~LiveLevelsSource() override;

    // The intensity of `part` as a fraction of full: coarse and fine where the patch
    // gives it two slots. Nothing while no source sends its slot.
    std::optional<float> level(const EosPatchPart& part) const;
    // The universe an absolute DMX address lies in.
    static std::uint16_t universeOf(int address);

    // "sACN: <source> · <n> universes" while levels flow; "" otherwise.
    QString summaryText() const;
    const SacnReceiver& receiver() const { return *m_receiver; }
    // Why nothing is heard though a patch is known ("" when listening or not asked to).
    QString problem() const { return m_problem; }

signals:
    // The universes whose levels changed.
    void levelsChanged(const std::vector<std::uint16_t>& universes);
    void summaryChanged();

private:
    void follow();

    QPointer<EosConnectionManager> m_link;
    std::unique_ptr<SacnReceiver> m_receiver;
    std::set<std::uint16_t> m_universes; // listened to
    QString m_desk;
    QString m_problem;
};

} // namespace pexlora
