// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <memory>

class QDockWidget;

namespace pexlora {

class ConsoleSelectionFollower;
class LiveLevelsFollower;
class ContentView;
class DocumentHistory;
class DocumentRecovery;
class DocumentSession;
class DocumentWindowHost;
class GridToolbarContent;
class GridViewModel;
class PexloraDocument;

// The window of one document: its content, toolbar and menus, the edited mark,
// and saving, reverting and closing with the questions they need.
class DocumentWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr QSize defaultSize{1100, 750};

    // `host` outlives the window.
    DocumentWindow(DocumentWindowHost& host, std::unique_ptr<DocumentSession> session);
    ~DocumentWindow() override;

    DocumentSession* session() const { return m_session.get(); }
    PexloraDocument* document() const;
    GridViewModel* viewModel() const;
    DocumentHistory* history() const;
    DocumentRecovery* recovery() const;
    ContentView* contentView() const { return m_content; }
    GridToolbarContent* toolbarContent() const { return m_toolbar; }
    // Rings the cells the console has selected, while View ▸ Show Console Selection is on.
    ConsoleSelectionFollower* consoleSelection() const { return m_consoleSelection; }
    LiveLevelsFollower* liveLevels() const { return m_liveLevels; }
    // View ▸ Console Groups shows it.
    QDockWidget* consoleGroups() const { return m_groupsDock; }

    // Where the document is stored; empty until a new one is first saved.
    const QString& filePath() const;
    // The name in the title bar and in questions about this document.
    QString displayName() const;

    // Shows the window in front of the others, also when it was minimized.
    void bringForward();

    // Each returns whether the document ended up written (or, for revert, read).
    bool save();
    bool saveAs();
    bool revertToSaved();

signals:
    void filePathChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool writeTo(const QString& path);
    // Reads the file again into this window's model; false, after telling why, when it cannot.
    bool readAgain();
    void fileChangedOnDisk();
    QString suggestedSavePath() const;
    void showTitle();

    DocumentWindowHost& m_host;
    std::unique_ptr<DocumentSession> m_session;
    ContentView* m_content;
    GridToolbarContent* m_toolbar;
    ConsoleSelectionFollower* m_consoleSelection;
    LiveLevelsFollower* m_liveLevels;
    QDockWidget* m_groupsDock = nullptr;
};

} // namespace pexlora
