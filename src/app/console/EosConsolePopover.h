// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosDiscoveredHost.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace pexlora {

class DiscoveredHostRow;
class EosConnectionManager;
class EosRetryCountdown;

// The console popover's content: the console's address and port, written to the
// settings as they are typed, "Connect" ("Retry Now" while that console is being
// retried), "Disconnect", where the link stands and why it is down, and the consoles
// found by discovery, any of which connects with a click. It stays open after connecting.
class EosConsolePopover : public QWidget {
    Q_OBJECT

public:
    static constexpr int minimumWidth = 320;
    static constexpr int maximumListHeight = 300;

    explicit EosConsolePopover(EosConnectionManager* eosManager, QWidget* parent = nullptr);

    QLineEdit* addressField() const { return m_address; }
    QLineEdit* portField() const { return m_port; }
    QPushButton* connectButton() const { return m_connect; }
    // Shown while the link is attempted, up or retried.
    QPushButton* disconnectButton() const { return m_disconnect; }
    // "Automatic", "OSC 1.1 (SLIP)", "OSC 1.0 (length)", as EosFramingChoice counts them.
    QComboBox* framingChooser() const { return m_framing; }
    // Where the link stands or why it is down, the time to the next attempt, and the
    // console's version; each hidden while it has nothing to say.
    QLabel* consoleState() const { return m_state; }
    QLabel* retryCountdown() const { return m_countdown; }
    QLabel* consoleVersion() const { return m_version; }
    // The divider, the caption and the rows; hidden while no console has been found.
    QWidget* discoveredSection() const { return m_discovered; }
    QList<DiscoveredHostRow*> hostRows() const { return m_rows; }

    // "Connect": to the stored address and port, or 127.0.0.1:3038 where they are missing.
    void connectToStored();
    // Stores the console's address and port, shows them, and connects to it.
    void choose(const EosDiscoveredHost& host);

signals:
    // The content changed its size while shown, so the popover should be placed again.
    void contentResized();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showHosts();
    void showConsole();
    void showCountdown();
    void markConsoleInUse();

    QPointer<EosConnectionManager> m_eosManager;
    QLineEdit* m_address;
    QLineEdit* m_port;
    QPushButton* m_connect;
    QPushButton* m_disconnect;
    QComboBox* m_framing;
    QLabel* m_state;
    QLabel* m_countdown;
    QLabel* m_version;
    EosRetryCountdown* m_ticks;
    QWidget* m_discovered;
    QScrollArea* m_rowArea;
    QWidget* m_rowList;
    QVBoxLayout* m_rowStack;
    QList<DiscoveredHostRow*> m_rows;
};

} // namespace pexlora
