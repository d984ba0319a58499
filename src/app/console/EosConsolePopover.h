// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosConsoleHealth.h"
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

// The console popover's content: the console's address and port, written to the
// settings as they are typed, "Connect", and the consoles found by discovery, any
// of which connects with a click. It stays open after connecting.
class EosConsolePopover : public QWidget {
    Q_OBJECT

public:
    static constexpr int minimumWidth = 320;
    static constexpr int maximumListHeight = 300;

    explicit EosConsolePopover(EosConnectionManager* eosManager, QWidget* parent = nullptr);

    QLineEdit* addressField() const { return m_address; }
    QLineEdit* portField() const { return m_port; }
    QPushButton* connectButton() const { return m_connect; }
    // "Automatic", "OSC 1.1 (SLIP)", "OSC 1.0 (length)", as EosFramingChoice counts them.
    QComboBox* framingChooser() const { return m_framing; }
    // What the link knows of the console, and its version; hidden while there is nothing to say.
    QLabel* consoleState() const { return m_state; }
    QLabel* consoleVersion() const { return m_version; }

    // The line under the address for a health, empty when it needs none.
    static QString healthText(EosConsoleHealth health);
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

private:
    void showHosts();
    void showConsole();

    QPointer<EosConnectionManager> m_eosManager;
    QLineEdit* m_address;
    QLineEdit* m_port;
    QPushButton* m_connect;
    QComboBox* m_framing;
    QLabel* m_state;
    QLabel* m_version;
    QWidget* m_discovered;
    QScrollArea* m_rowArea;
    QWidget* m_rowList;
    QVBoxLayout* m_rowStack;
    QList<DiscoveredHostRow*> m_rows;
};

} // namespace pexlora
