// SPDX-License-Identifier: GPL-3.0-or-later
// View ▸ Console Traffic in a window connected to pexlora-console-sim on loopback:
// what goes out and comes back shows, and the window's commands do what they say.
#include "AppTestSupport.h"
#include "app/console/ConsoleTrafficModel.h"
#include "app/console/ConsoleTrafficWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;

// The rows shown, as direction, address and arguments.
QStringList shownRows(const ConsoleTrafficWindow& traffic) {
    QStringList rows;
    const ConsoleTrafficModel& model = *traffic.model();
    for (int row = 0; row < model.rowCount(); ++row)
        rows.append(model.rowText(row).section(u'\t', 1));
    return rows;
}

bool logHolds(const EosTrafficLog& log, const QString& arguments) {
    for (std::size_t i = 0; i < log.size(); ++i)
        if (log.at(i).arguments == arguments)
            return true;
    return false;
}

TEST(ConsoleTraffic, ShowsBothWaysAndPausesClearsCopiesThenKeepsNothingOnceClosed) {
    auto simulator = test::startSimulator({u"--tcp-port"_s, u"0"_s, u"--discovery-port"_s, u"0"_s});
    ASSERT_TRUE(simulator) << "the simulator did not start";
    test::AppFixture fixture(simulator->discoveryPort);
    DocumentWindow* window = fixture.app->newDocument();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    EosConnectionManager& manager = fixture.app->eosManager();
    ASSERT_EQ(manager.trafficLog(), nullptr) << "nothing is recorded before anyone looks";

    QAction* open = window->findChild<QAction*>(u"viewConsoleTraffic"_s);
    ASSERT_NE(open, nullptr);
    open->trigger();
    QPointer<ConsoleTrafficWindow> traffic = fixture.app->consoleTrafficWindow();
    ASSERT_TRUE(traffic);
    ASSERT_TRUE(QTest::qWaitForWindowActive(traffic));
    EXPECT_EQ(manager.trafficLog(), traffic->log());
    fixture.app->newDocument()->findChild<QAction*>(u"viewConsoleTraffic"_s)->trigger();
    EXPECT_EQ(fixture.app->consoleTrafficWindow(), traffic) << "one for the program, brought forward";

    manager.connectToConsole(u"127.0.0.1"_s, simulator->tcpPort);
    const QString pingOut = u"\u2192\t/eos/ping\t"_s;
    const QString pingIn = u"\u2190\t/eos/out/ping\t"_s;
    // The window takes what came in batches on its timer.
    ASSERT_TRUE(test::waitFor([&] {
        return shownRows(*traffic).contains(pingOut) && shownRows(*traffic).contains(pingIn);
    })) << shownRows(*traffic).join(u'\n').toStdString();

    // Markup from the desk is a row's text, never markup.
    manager.send(u"/eos/user/91/newcmd"_s, u"Chan 1 <img src=x>"_s);
    const QString commandOut = u"\u2192\t/eos/user/91/newcmd\t\"Chan 1 <img src=x>\""_s;
    const QString echoIn = u"\u2190\t/eos/out/user/91/cmd\t\"LIVE: Chan 1 <img src=x>\""_s;
    ASSERT_TRUE(test::waitFor([&] { return shownRows(*traffic).contains(echoIn); }))
        << shownRows(*traffic).join(u'\n').toStdString();
    EXPECT_TRUE(shownRows(*traffic).contains(commandOut));

    QTest::mouseClick(traffic->hidePingsBox(), Qt::LeftButton);
    EXPECT_FALSE(shownRows(*traffic).contains(pingOut));
    EXPECT_FALSE(shownRows(*traffic).contains(pingIn));
    EXPECT_TRUE(shownRows(*traffic).contains(echoIn));
    QTest::mouseClick(traffic->hidePingsBox(), Qt::LeftButton);
    EXPECT_TRUE(shownRows(*traffic).contains(pingOut));

    // Paused, messages are still recorded but not shown; following again shows them.
    QTest::mouseClick(traffic->pauseButton(), Qt::LeftButton);
    const int before = traffic->model()->rowCount();
    manager.send(u"/eos/user/91/newcmd"_s, u"Chan 2"_s);
    ASSERT_TRUE(logHolds(*traffic->log(), u"\"Chan 2\""_s));
    traffic->refresh();
    EXPECT_EQ(traffic->model()->rowCount(), before);
    QTest::mouseClick(traffic->pauseButton(), Qt::LeftButton);
    const QString secondOut = u"\u2192\t/eos/user/91/newcmd\t\"Chan 2\""_s;
    ASSERT_TRUE(shownRows(*traffic).contains(secondOut));

    // Copy takes the selected rows, or every row when none is selected; so does Ctrl+C.
    QClipboard* clipboard = QGuiApplication::clipboard();
    const int second = static_cast<int>(shownRows(*traffic).indexOf(secondOut));
    traffic->table()->selectRow(second);
    QTest::mouseClick(traffic->copyButton(), Qt::LeftButton);
    const QStringList copied = clipboard->text().split(u'\t');
    ASSERT_EQ(copied.size(), 4) << clipboard->text().toStdString();
    EXPECT_TRUE(QTime::fromString(copied[0], u"HH:mm:ss.zzz"_s).isValid()) << copied[0].toStdString();
    EXPECT_EQ(copied.mid(1).join(u'\t'), secondOut + u'\n');
    traffic->table()->clearSelection();
    clipboard->clear();
    QTest::keyClick(traffic->table(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text().count(u'\n'), traffic->model()->rowCount());

    // A reader who scrolled up to older rows stays there; one at the newest follows them.
    QScrollBar* scroll = traffic->table()->verticalScrollBar();
    const auto sendAndShow = [&](int count) {
        for (int i = 0; i < count; ++i)
            manager.send(u"/eos/user/91/newcmd"_s, QString::number(i));
        traffic->refresh();
    };
    sendAndShow(200);
    ASSERT_GT(scroll->maximum(), 0);
    EXPECT_EQ(scroll->value(), scroll->maximum());
    scroll->setValue(0);
    sendAndShow(20);
    EXPECT_EQ(scroll->value(), 0);
    scroll->setValue(scroll->maximum());
    sendAndShow(20);
    EXPECT_EQ(scroll->value(), scroll->maximum());

    QTest::mouseClick(traffic->clearButton(), Qt::LeftButton);
    EXPECT_EQ(traffic->model()->rowCount(), 0);
    EXPECT_EQ(traffic->log()->size(), 0u);

    traffic->close();
    EXPECT_EQ(manager.trafficLog(), nullptr) << "closed, the link records nothing";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(traffic.isNull()) << "the window and its log are gone";
    EXPECT_EQ(fixture.app->consoleTrafficWindow(), nullptr);
    manager.send(u"/eos/user/91/newcmd"_s, u"Chan 3"_s);
    EXPECT_EQ(manager.trafficLog(), nullptr);
}

} // namespace
} // namespace pexlora
