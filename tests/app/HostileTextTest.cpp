// SPDX-License-Identifier: GPL-3.0-or-later
// Text from outside (a console's reply, a file's name or content, a path) reaches the
// screen as the text it is, never as markup that could load a file, show a link or
// hang the window; and files that cannot be opened are told of in one box at a time.
#include "AppTestSupport.h"
#include "app/shell/OpenFailureReport.h"
#include "widgets/ElidedLabel.h"
#include "widgets/PlainMessage.h"
#include "widgets/SecondaryLabel.h"

#include <QLabel>
#include <QMessageBox>
#include <functional>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;

const QString hostileTexts[] = {
    u"<img src=\"/dev/zero\">"_s,
    u"<a href=\"file:///etc/passwd\">click</a>"_s,
    u"<b>bold</b> <font size=6>big</font>"_s,
    u"bell\u0007 escape\u001b[31m nul-free \u202eright-to-left\r\nnext line"_s,
    QString(1 << 20, u'<'),
};

// Every label in `widget` with text, itself included, shows it as given and opens no
// link. (A box's icon is a label with a picture and no text.)
void expectEveryLabelPlain(QWidget* widget, const QString& place) {
    QList<QLabel*> labels = widget->findChildren<QLabel*>();
    if (auto* label = qobject_cast<QLabel*>(widget))
        labels.append(label);
    labels.removeIf([](QLabel* label) { return label->text().isEmpty(); });
    for (QLabel* label : labels) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText)
            << place.toStdString() << " " << label->text().left(60).toStdString();
        EXPECT_FALSE(label->openExternalLinks()) << place.toStdString();
    }
}

// The text a label holds has `text` in it as written, or its start where it is cut.
void expectShown(const QString& held, const QString& text, const QString& place) {
    const QString start = text.left(1000);
    EXPECT_TRUE(held.contains(start)) << place.toStdString() << ": " << held.left(80).toStdString();
    EXPECT_LE(held.size(), 10000) << place.toStdString() << ": a megabyte is cut before it is laid out";
}

QString boxText(QMessageBox& box) {
    const auto* informative = box.findChild<QLabel*>(u"qt_msgbox_informativelabel"_s);
    return box.text() + u'\n' + (informative ? informative->text() : QString());
}

TEST(HostileText, IsShownAsTextWhereverItAppears) {
    QWidget window;
    using Box = std::unique_ptr<QMessageBox>;
    // A file name has no "/": the replace question is asked of one with its "/"s made "_".
    const auto asName = [](QString text) { return text.replace(u'/', u'_'); };
    const struct {
        QString place;
        std::function<Box(const QString&)> make;
    } boxes[] = {
        {u"error"_s, [](const QString& t) { return StandardDocumentDialogs::errorMessage(nullptr, t, t); }},
        {u"save question"_s,
         [](const QString& t) { return StandardDocumentDialogs::saveChangesQuestion(nullptr, t); }},
        {u"changed file"_s,
         [](const QString& t) { return StandardDocumentDialogs::changedFileQuestion(nullptr, t); }},
        {u"replace"_s,
         [&](const QString& t) {
             return StandardDocumentDialogs::replaceQuestion(nullptr, u"/tmp/"_s + asName(t));
         }},
        {u"restore"_s, [](const QString& t) { return StandardDocumentDialogs::restoreQuestion(nullptr, t); }},
    };
    for (const QString& text : hostileTexts) {
        for (const auto& box : boxes) {
            const Box shown = box.make(text);
            expectEveryLabelPlain(shown.get(), box.place);
            expectShown(boxText(*shown), box.place == u"replace"_s ? asName(text) : text, box.place);
        }
        SecondaryLabel caption(text);
        expectEveryLabelPlain(&caption, u"caption"_s);
        EXPECT_EQ(caption.text(), text);
        ElidedLabel line;
        line.setText(text);
        // A tooltip breaks lines its own way.
        expectShown(test::tooltipAsShown(line.toolTip()).simplified(), text.simplified(),
                    u"command line tooltip"_s);
        expectShown(test::tooltipAsShown(plainToolTip(text)).simplified(), text.simplified(), u"tooltip"_s);

        // A file that cannot be opened, as the box that does not wait shows it.
        StandardDocumentDialogs dialogs;
        OpenFailureReport report(dialogs);
        report.add(text, text);
        report.tell(&window);
        auto* shown = window.findChild<QMessageBox*>();
        ASSERT_NE(shown, nullptr);
        expectEveryLabelPlain(shown, u"open failure"_s);
        expectShown(boxText(*shown), text, u"open failure"_s);
        delete shown;
    }
}

// Thousands of hand-overs of files that are not there, each while the last box is
// still open: one box at a time, the rest told together when it closes.
TEST(HandOvers, FilesThatCannotBeOpenedAreToldInOneBoxAtATime) {
    test::AppFixture fixture;
    test::ScriptedDialogs& dialogs = *fixture.scripted;
    dialogs.holdBoxesOpen = true;
    QTemporaryDir dir;
    const auto missing = [&](int i) { return dir.filePath(u"gone %1.pexlora"_s.arg(i)); };
    for (int i = 0; i < 5000; ++i)
        fixture.app->openPaths({missing(i)});
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0].text, u"The document “gone 0.pexlora” could not be opened."_s);
    EXPECT_FALSE(dialogs.errors[0].waitedFor);

    QStringList many;
    for (int i = 0; i < 3000; ++i)
        many.append(missing(i));
    fixture.app->openPaths(many);
    ASSERT_EQ(dialogs.closeHeldBox.size(), 1u);
    std::exchange(dialogs.closeHeldBox, {}).front()();
    EXPECT_TRUE(test::waitFor([&] { return dialogs.errors.size() == 2; }));
    EXPECT_EQ(dialogs.errors[1].text, u"7,999 documents could not be opened."_s);
    const QStringList lines = dialogs.errors[1].reason.split(u'\n');
    ASSERT_EQ(lines.size(), OpenFailureReport::listedNames + 1);
    EXPECT_TRUE(lines.front().startsWith(u"“gone 1.pexlora”: "_s)) << lines.front().toStdString();
    EXPECT_EQ(lines.back(), u"and 7,987 more."_s);
    EXPECT_EQ(fixture.app->windows().size(), 0);
}

// With the desktop's boxes, the hand-over returns while its box stays open.
TEST(HandOvers, TheBoxOfAHandOverDoesNotWait) {
    auto app = std::make_unique<PexloraApp>();
    QTemporaryDir dir;
    for (int i = 0; i < 50; ++i)
        app->openPaths({dir.filePath(u"gone %1.pexlora"_s.arg(i))});
    int boxes = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible()) {
            ++boxes;
            box->close();
        }
    EXPECT_EQ(boxes, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
} // namespace pexlora
