#pragma once

#include "widgets/PopoverHost.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <optional>

class QLabel;

namespace pexlora {

class EosConnectionManager;
class EosConsolePopover;
class EosStatusButton;

// The bottom strip of a document window: whether the console link is up and to
// where, and the button that opens the console popover. Every window has one; all
// show the one link of the application.
class EosStatusBarView : public QWidget {
    Q_OBJECT

public:
    static constexpr int rowHeight = 22;

    explicit EosStatusBarView(EosConnectionManager* eosManager, QWidget* parent = nullptr);
    ~EosStatusBarView() override;

    // "Eos Connected <ip>" while the link is up, "Eos Disconnected" otherwise.
    static QString statusText(bool isConnected, const std::optional<QString>& connectedIP);

    EosStatusButton* statusButton() const { return m_button; }
    QLabel* caption() const { return m_caption; }
    // The open console popover and its content; null while it is closed.
    Popover* consolePopover() const { return m_popover.popover(); }
    EosConsolePopover* consolePanel() const;

    // What a click on the status button does: opens the popover, or closes it.
    void togglePopover();

private:
    void showLink();

    QPointer<EosConnectionManager> m_eosManager;
    EosStatusButton* m_button;
    QLabel* m_caption;
    PopoverHost m_popover;
};

} // namespace pexlora
