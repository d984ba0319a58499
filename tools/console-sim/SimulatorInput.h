// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <string>

namespace pexlora::sim {

// Lines typed on the simulator's standard input, as they are finished. At the end of
// the input it stops listening; the simulator goes on.
class SimulatorInput : public QObject {
    Q_OBJECT

public:
    explicit SimulatorInput(QObject* parent = nullptr);

signals:
    void lineEntered(const std::string& line);

private:
    void readAvailable();

    QSocketNotifier m_notifier;
    std::string m_pending;
};

} // namespace pexlora::sim
