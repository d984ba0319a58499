// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "eos/EosConsoleHealth.h"
#include "eos/EosFraming.h"
#include "widgets/PopoverHost.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <optional>

class QLabel;

namespace pexlora {

class EosConnectionManager;
class EosConsolePopover;
class EosRetryCountdown;
class EosStatusButton;
class LiveLevelsSource;
class ElidedLabel;

// The bottom strip of a document window: whether the console link is up and to
// where, why it is down and when it is retried (in the button's tooltip), and the
// button that opens the console popover. Every window has one; all show the one link
// of the application.
class EosStatusBarView : public QWidget {
    Q_OBJECT

public:
    static constexpr int rowHeight = 22;

    // `levels`, when given, names the sACN source while its levels flow.
    explicit EosStatusBarView(EosConnectionManager* eosManager, LiveLevelsSource* levels = nullptr,
                              QWidget* parent = nullptr);
    ~EosStatusBarView() override;

    // "Eos not answering" while a console that stopped answering is being retried,
    // even while a retry's link is up; "Eos Connected <ip>" while the link is up;
    // "Eos Disconnected" otherwise.
    static QString statusText(bool isConnected, const std::optional<QString>& connectedIP,
                              EosConsoleHealth health = EosConsoleHealth::offline);
    // The right-hand caption: the framing once the console's framing is settled, or the
    // link's kind until then, so that it stays put while framings are tried and retried.
    static QString framingCaption(std::optional<EosFraming> framing, EosConsoleHealth health);

    EosStatusButton* statusButton() const { return m_button; }
    QLabel* caption() const { return m_caption; }
    QLabel* levelsCaption() const { return m_levelsCaption; }
    // The console's command line, as the desk echoes it.
    ElidedLabel* commandLine() const { return m_commandLine; }
    // The open console popover and its content; null while it is closed.
    Popover* consolePopover() const { return m_popover.popover(); }
    EosConsolePopover* consolePanel() const;

    // What a click on the status button does: opens the popover, or closes it.
    void togglePopover();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showLink();
    void showToolTip();
    void showCommandLine();
    void showLevels();

    QPointer<EosConnectionManager> m_eosManager;
    EosStatusButton* m_button;
    ElidedLabel* m_commandLine;
    QLabel* m_caption;
    QPointer<LiveLevelsSource> m_levels;
    QLabel* m_levelsCaption;
    // Runs while the button's tooltip is up, to count down in it.
    EosRetryCountdown* m_toolTipTicks;
    QPoint m_toolTipAt;
    PopoverHost m_popover;
};

} // namespace pexlora
