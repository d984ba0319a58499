// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSocketNotifier>

namespace pexlora::sim {

// Turns SIGINT and SIGTERM into a signal on the event loop, so that the simulator
// can end its sACN streams as a desk does instead of vanishing from the wire.
// One per process.
class SimulatorQuit : public QObject {
    Q_OBJECT

public:
    explicit SimulatorQuit(QObject* parent = nullptr);
    ~SimulatorQuit() override;

signals:
    void requested();

private:
    int m_pipe[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace pexlora::sim
