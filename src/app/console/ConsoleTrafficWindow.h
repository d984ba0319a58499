// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

class QCheckBox;
class QPushButton;
class QTableView;

namespace pexlora {

class ConsoleTrafficModel;
class EosConnectionManager;
class EosTrafficLog;
struct EosTrafficEntry;

// View ▸ Console Traffic: what goes to the console and comes from it, newest last.
// One for the program, whichever window opened it. The log behind it exists only
// while it is open; the link records nothing otherwise.
class ConsoleTrafficWindow : public QWidget {
    Q_OBJECT

public:
    // Messages are taken from the log this often, in one batch, however fast they come.
    static constexpr std::chrono::milliseconds refreshPeriod{100};

    explicit ConsoleTrafficWindow(EosConnectionManager& manager, QWidget* parent = nullptr);
    ~ConsoleTrafficWindow() override;

    // Shows what the log gained since the last look, unless paused. The timer calls it.
    void refresh();
    // The selected rows, or all of them when none is selected, one line each with
    // tabs between the columns, onto the clipboard.
    void copy();
    // Forgets everything recorded so far, in the log and on screen.
    void clear();

    EosTrafficLog* log() const { return m_log.get(); }
    ConsoleTrafficModel* model() const { return m_model; }
    QTableView* table() const { return m_table; }
    QPushButton* pauseButton() const { return m_pause; }
    QPushButton* clearButton() const { return m_clear; }
    QPushButton* copyButton() const { return m_copy; }
    QCheckBox* hidePingsBox() const { return m_hidePings; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Following shows messages as they come; paused keeps recording them into the log
    // (the oldest still go once it is full) but shows none until following again;
    // closed has no log at all.
    enum class State { following, paused, closed };
    void enter(State next);
    // The log's entries from `first` up to `end`, pings left out when they are hidden.
    std::vector<EosTrafficEntry> entries(std::size_t first, std::size_t end) const;
    // Shows again all that had been taken, as the ping filter now says.
    void rebuild();

    State m_state = State::following;
    QPointer<EosConnectionManager> m_manager;
    std::unique_ptr<EosTrafficLog> m_log;
    std::uint64_t m_taken = 0; // how many of the log's recorded messages were looked at
    ConsoleTrafficModel* m_model;
    QTableView* m_table;
    QPushButton* m_pause;
    QPushButton* m_clear;
    QPushButton* m_copy;
    QCheckBox* m_hidePings;
    QTimer m_timer;
};

} // namespace pexlora
