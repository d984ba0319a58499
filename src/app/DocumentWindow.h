#pragma once

#include "app/PexloraApp.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>

namespace pexlora {

class ConsoleSelectionFollower;
class ContentView;
class DocumentFileWatch;
class DocumentHistory;
class DocumentRecovery;
class GridToolbarContent;
class GridViewModel;
class PexloraDocument;

// The window of one document: its content, toolbar and menus, the edited mark,
// and saving, reverting and closing with the questions they need.
class DocumentWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr QSize defaultSize{1100, 750};

    // `path` is empty for a new document, which is then called `untitledName`.
    DocumentWindow(PexloraApp& app, std::unique_ptr<PexloraDocument> document, QString path,
                   QString untitledName);
    ~DocumentWindow() override;

    PexloraDocument* document() const { return m_document.get(); }
    GridViewModel* viewModel() const;
    DocumentHistory* history() const { return m_history; }
    DocumentRecovery* recovery() const { return m_recovery; }
    ContentView* contentView() const { return m_content; }
    GridToolbarContent* toolbarContent() const { return m_toolbar; }
    // Rings the cells the console has selected, while View ▸ Show Console Selection is on.
    ConsoleSelectionFollower* consoleSelection() const { return m_consoleSelection; }

    // Where the document is stored; empty until a new one is first saved.
    const QString& filePath() const { return m_path; }
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

    // A closed window is deleted later, possibly after the application object.
    QPointer<PexloraApp> m_app;
    std::unique_ptr<PexloraDocument> m_document;
    DocumentHistory* m_history;
    DocumentRecovery* m_recovery;
    ContentView* m_content;
    GridToolbarContent* m_toolbar;
    ConsoleSelectionFollower* m_consoleSelection;
    DocumentFileWatch* m_fileWatch;
    QString m_path;
    QString m_untitledName;
};

} // namespace pexlora
