// SPDX-License-Identifier: GPL-3.0-or-later
// The texts marked for translation reach the user through Qt's translation
// machinery under the contexts lupdate gives them: with every text lupdate finds
// translated into ⟦brackets⟧, each part of the window shows brackets.
#include "AppTestSupport.h"
#include "app/console/EosStatusBarView.h"
#include "app/console/SelectionBarView.h"
#include "app/window/ContentView.h"
#include "app/window/EditToolPicker.h"
#include "app/window/GridToolbarContent.h"
#include "app/window/KeyChip.h"
#include "app/window/SelectKeyLegend.h"
#include "widgets/Popover.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QUndoStack>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;

#ifdef PEXLORA_PSEUDO_QM
class PseudoTranslated : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(translator.load(QString::fromUtf8(PEXLORA_PSEUDO_QM)));
        QCoreApplication::installTranslator(&translator);
    }
    void TearDown() override { QCoreApplication::removeTranslator(&translator); }

    QTranslator translator;
};

TEST_F(PseudoTranslated, EveryPartOfTheWindowShowsItsTranslatedTexts) {
    test::AppFixture fixture;
    DocumentWindow* window = fixture.app->newDocument();
    EXPECT_EQ(window->windowTitle(), u"⟦Untitled⟧[*]"_s);
    EXPECT_EQ(window->menuBar()->actions().front()->text(), u"⟦&File⟧"_s);

    const GridPosition cells[] = {{0, 0}, {1, 0}};
    window->viewModel()->placeElements(cells);
    EXPECT_EQ(window->history()->stack()->undoText(), u"⟦Add Cells⟧"_s);

    auto* bar = qobject_cast<SelectionBarView*>(window->contentView()->selectionBar());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->selectionLabel()->text(), u"⟦No selection⟧"_s);
    SelectKeyLegend* legend = window->toolbarContent()->keyLegend();
    EXPECT_EQ(legend->chips().front()->label(), u"⟦vertical⟧"_s);
    EXPECT_TRUE(legend->accessibleName().startsWith(u"⟦Modifier keys: "_s))
        << legend->accessibleName().toStdString();

    // A file that is no layout: the window's message, the document's reason and
    // the codec's detail are each translated.
    QTemporaryDir dir;
    const QString broken = dir.filePath(u"broken.pexlora"_s);
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\"?><notplist/>");
    file.close();
    EXPECT_EQ(fixture.app->openDocument(broken), nullptr);
    ASSERT_EQ(fixture.scripted->errors.size(), 1u);
    const auto& error = fixture.scripted->errors.front();
    EXPECT_EQ(error.text, u"⟦The document “broken.pexlora” could not be opened.⟧"_s);
    EXPECT_EQ(error.reason.count(u"⟦"_s), 2) << error.reason.toStdString();
    // And the desktop's own question, as it would be shown.
    EXPECT_TRUE(StandardDocumentDialogs::restoreQuestion(nullptr, u"rig"_s)->text().startsWith(u"⟦"_s));
}

// Whatever a widget or menu item of a window says, in select and in edit mode,
// comes through a translation, apart from numbers and the names Qt gives keys.
TEST_F(PseudoTranslated, NoWindowTextIsLeftOut) {
    test::AppFixture fixture;
    DocumentWindow* window = fixture.app->newDocument();
    window->show();
    const QRegularExpression untranslatable(u"^[0-9.%+>(),: ]*$"_s);
    QStringList missed;
    int looked = 0;
    const auto look = [&](const QString& text, const QObject* where) {
        looked += text.isEmpty() ? 0 : 1;
        if (!text.isEmpty() && !text.contains(u"⟦"_s) && !untranslatable.match(text).hasMatch())
            missed.append(QString::fromLatin1(where->metaObject()->className()) + u": "_s + text);
    };
    const auto lookAt = [&](QWidget* root) {
        ASSERT_NE(root, nullptr);
        for (QWidget* widget : root->findChildren<QWidget*>()) {
            if (!widget->isVisibleTo(root))
                continue;
            look(widget->toolTip(), widget);
            look(widget->accessibleName(), widget);
            if (auto* label = qobject_cast<QLabel*>(widget))
                look(label->text(), widget);
            if (auto* button = qobject_cast<QAbstractButton*>(widget);
                button && !qobject_cast<KeyChip*>(button))
                look(button->text(), widget);
            if (auto* field = qobject_cast<QLineEdit*>(widget))
                look(field->placeholderText(), widget);
        }
    };
    for (AppMode mode : {AppMode::select, AppMode::edit}) {
        window->viewModel()->setMode(mode);
        lookAt(window);
        for (QAction* action : window->findChildren<QAction*>())
            // Open Recent names files, by their names.
            if (!action->isSeparator() && QFileInfo(action->statusTip()).fileName() != action->text())
                look(action->text(), action);
    }
    // The popovers, each while it is open.
    window->viewModel()->setEditTool(EditTool::quickRenumber);
    window->viewModel()->setShowQuickRenumberPanel(true);
    lookAt(window->toolbarContent()->toolPicker()->quickRenumberPopover());
    window->viewModel()->setShowQuickRenumberPanel(false);
    window->viewModel()->setMode(AppMode::select);
    auto* bar = qobject_cast<SelectionBarView*>(window->contentView()->selectionBar());
    bar->pressRecordGroup();
    lookAt(bar->recGroupPopover());
    bar->recGroupPopover()->close();
    auto* status = qobject_cast<EosStatusBarView*>(window->contentView()->statusBar());
    status->togglePopover();
    lookAt(status->consolePopover());
    status->togglePopover();
    EXPECT_GT(looked, 40);
    EXPECT_TRUE(missed.isEmpty()) << missed.join(u'\n').toStdString();
}
#endif

} // namespace
} // namespace pexlora
