#pragma once

#include "eos/EosDiscoveredHost.h"

#include <QList>
#include <QPointer>
#include <QWidget>

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

    QPointer<EosConnectionManager> m_eosManager;
    QLineEdit* m_address;
    QLineEdit* m_port;
    QPushButton* m_connect;
    QWidget* m_discovered;
    QScrollArea* m_rowArea;
    QWidget* m_rowList;
    QVBoxLayout* m_rowStack;
    QList<DiscoveredHostRow*> m_rows;
};

} // namespace pexlora
