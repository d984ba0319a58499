// SPDX-License-Identifier: GPL-3.0-or-later
// The console status bar and its popover, on windows of a real application whose
// console link talks to sockets of the test on loopback.
#include "AppTestSupport.h"
#include "app/console/DiscoveredHostRow.h"
#include "app/console/EosConsolePopover.h"
#include "app/console/EosLinkWords.h"
#include "app/console/EosStatusBarView.h"
#include "app/console/EosStatusButton.h"
#include "app/window/ContentView.h"
#include "eos/EosDiscoveryManager.h"
#include "eos/EosSettings.h"
#include "widgets/ElidedLabel.h"
#include "widgets/Popover.h"
#include "widgets/SystemColors.h"

#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

EosStatusBarView* statusBar(DocumentWindow* window) {
    return qobject_cast<EosStatusBarView*>(window->contentView()->statusBar());
}

TEST(EosStatusBar, StatusTextNamesTheConnectedAddress) {
    const struct {
        bool connected;
        std::optional<QString> ip;
        QString text;
    } table[] = {
        {true, u"10.0.0.5"_s, u"Eos Connected 10.0.0.5"_s},
        {false, std::nullopt, u"Eos Disconnected"_s},
        {true, std::nullopt, u"Eos Disconnected"_s},
        {false, u"10.0.0.5"_s, u"Eos Disconnected"_s},
    };
    for (const auto& row : table)
        EXPECT_EQ(EosStatusBarView::statusText(row.connected, row.ip), row.text);
}

TEST(EosStatusBar, TextsSayWhatTheLinkKnowsOfTheConsole) {
    using H = EosConsoleHealth;
    EXPECT_EQ(EosStatusBarView::statusText(false, std::nullopt, H::gone), u"Eos not answering"_s);
    EXPECT_EQ(EosStatusBarView::statusText(true, u"10.0.0.5"_s, H::gone), u"Eos not answering"_s)
        << "a retry's link is up before the console answers";
    EXPECT_EQ(EosStatusBarView::statusText(false, std::nullopt, H::offline), u"Eos Disconnected"_s);
    EXPECT_EQ(EosStatusBarView::statusText(true, u"10.0.0.5"_s, H::silent), u"Eos Connected 10.0.0.5"_s);
    EXPECT_EQ(EosLinkWords::healthText(H::silent),
              u"Connected, but the console does not answer \u2014 is OSC TX on?"_s);
    EXPECT_TRUE(EosLinkWords::healthText(H::answering).isEmpty());
    EXPECT_TRUE(EosLinkWords::healthText(H::offline).isEmpty());
}

// The framing is named once the console's is settled; while framings are tried, on every
// retry, the caption stays as it is.
TEST(EosStatusBar, TheFramingCaptionHoldsStillUntilTheFramingIsSettled) {
    using H = EosConsoleHealth;
    const struct {
        std::optional<EosFraming> framing;
        EosConsoleHealth health;
        QString caption;
    } table[] = {
        {EosFraming::slip, H::answering, u"OSC 1.1 SLIP"_s},  {EosFraming::length, H::silent, u"OSC 1.0"_s},
        {EosFraming::length, H::settling, u"OSC over TCP"_s}, {EosFraming::slip, H::gone, u"OSC over TCP"_s},
        {std::nullopt, H::offline, u"OSC over TCP"_s},
    };
    for (const auto& row : table)
        EXPECT_EQ(EosStatusBarView::framingCaption(row.framing, row.health), row.caption);
}

// Whole seconds rounded up: the countdown never says 0 s before the attempt is made.
TEST(EosStatusBar, TheCountdownRoundsUpToWholeSeconds) {
    const struct {
        std::chrono::milliseconds left;
        QString text;
    } table[] = {
        {12000ms, u"Retrying in 12 s"_s}, {11001ms, u"Retrying in 12 s"_s}, {1ms, u"Retrying in 1 s"_s},
        {0ms, u"Retrying now\u2026"_s},   {-5ms, u"Retrying now\u2026"_s},
    };
    for (const auto& row : table)
        EXPECT_EQ(EosLinkWords::countdownText(row.left), row.text) << row.left.count();
}

TEST(EosStatusBar, TheConsolesCommandLineIsShownAsTypedAndCut) {
    const QString longLine(100000, u'7');
    const struct {
        QString line;
        QString shown;
    } table[] = {
        {u"Chan 1 Thru 5 Full#"_s, u"Chan 1 Thru 5 Full#"_s},
        {u"<b>Group</b> 12 <img src=\"x\"> &amp;"_s, u"<b>Group</b> 12 <img src=\"x\"> &amp;"_s},
        {longLine, longLine.left(ElidedLabel::maxShownLength) + u'…'},
    };
    ElidedLabel label;
    label.resize(QWIDGETSIZE_MAX, 20); // room for every character that is shown
    for (const auto& row : table) {
        label.setText(row.line);
        EXPECT_EQ(label.text(), row.line);
        EXPECT_EQ(test::tooltipAsShown(label.toolTip()), row.shown);
        EXPECT_EQ(label.shownText(), row.shown);
    }
}

class ConsoleBar : public ::testing::Test {
protected:
    ConsoleBar() {
        console.listen(QHostAddress::LocalHost, 0);
        window = fixture.app->newDocument();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        bar = statusBar(window);
    }
    EosConnectionManager& manager() { return fixture.app->eosManager(); }
    QSettings& settings() { return manager().settings(); }
    QString statusOf(DocumentWindow* w) { return statusBar(w)->statusButton()->text(); }

    // Opens the popover by its button and returns the port of the first discovery
    // request, where replies go; 0 when none came.
    EosConsolePopover* open() {
        QTest::mouseClick(bar->statusButton(), Qt::LeftButton);
        EosConsolePopover* panel = bar->consolePanel();
        EXPECT_NE(panel, nullptr);
        fixture.link.discoveryClock->advance(0ms);
        const auto request = fixture.link.discoveryConsole.receive();
        replyPort = request ? static_cast<std::uint16_t>(request->senderPort()) : 0;
        return panel;
    }
    void reply(std::uint16_t tcpPort, const char* name) {
        replier.sendTo(replyPort, test::encoded(OSCMessage("/etc/discovery/reply",
                                                           {static_cast<std::int32_t>(tcpPort), name})));
    }

    test::AppFixture fixture;
    QTcpServer console;
    test::UDPPeer replier;
    std::uint16_t replyPort = 0;
    DocumentWindow* window = nullptr;
    EosStatusBarView* bar = nullptr;
};

TEST_F(ConsoleBar, EveryWindowShowsTheOneLinkWithItsDot) {
    DocumentWindow* second = fixture.app->newDocument();
    const SystemColors colors = SystemColors::fromPalette(bar->palette());
    EXPECT_EQ(statusOf(window), u"Eos Disconnected"_s);
    EXPECT_EQ(bar->statusButton()->dotColor(), colors.red);
    EXPECT_EQ(bar->caption()->text(), u"OSC over TCP"_s);
    EXPECT_EQ(bar->caption()->font().pixelSize(), 11);
    EXPECT_EQ(bar->height(), 1 + EosStatusBarView::rowHeight) << "divider and row";

    manager().connectToConsole(u"127.0.0.1"_s, console.serverPort());
    ASSERT_TRUE(test::waitFor([&] { return manager().isConnected(); }));
    for (DocumentWindow* w : {window, second}) {
        EXPECT_EQ(statusOf(w), u"Eos Connected 127.0.0.1"_s);
        EXPECT_EQ(statusBar(w)->statusButton()->dotColor(), colors.green);
    }
    manager().connectToConsole(QString(), 0);
    for (DocumentWindow* w : {window, second}) {
        EXPECT_EQ(statusOf(w), u"Eos Disconnected"_s);
        EXPECT_EQ(statusBar(w)->statusButton()->dotColor(), colors.red);
    }
}

// A desk may answer anything: its version is shown as the text it sent, never read as
// markup (an <img> of /dev/zero would hang the window the moment the popover opens).
TEST_F(ConsoleBar, TheConsolesVersionIsShownAsTheTextItSent) {
    const std::string hostile = R"(<img src="/dev/zero"><a href="file:///etc">3.2</a>)";
    manager().setFramingChoice(EosFramingChoice::slip);
    manager().connectToConsole(u"127.0.0.1"_s, console.serverPort());
    ASSERT_TRUE(console.waitForNewConnection(10000));
    QTcpSocket* desk = console.nextPendingConnection();
    const auto reply = test::encoded(OSCMessage("/eos/out/get/version", {hostile.c_str()}));
    desk->write(framedPacket(EosFraming::slip, reply));
    ASSERT_TRUE(test::waitFor([&] { return !manager().consoleVersion().isEmpty(); }));
    EosConsolePopover* panel = open();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->consoleVersion()->text(), u"Console version "_s + QString::fromStdString(hostile));
    EXPECT_EQ(panel->consoleVersion()->textFormat(), Qt::PlainText);
    for (QLabel* label : panel->findChildren<QLabel*>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
}

TEST_F(ConsoleBar, TheFramingChooserStoresTheChoiceAndOpensOnIt) {
    EosConsolePopover* panel = open();
    ASSERT_NE(panel, nullptr);
    QComboBox* chooser = panel->framingChooser();
    ASSERT_EQ(chooser->count(), 3);
    EXPECT_EQ(chooser->itemText(0), u"Automatic"_s);
    EXPECT_EQ(chooser->itemText(1), u"OSC 1.1 (SLIP)"_s);
    EXPECT_EQ(chooser->itemText(2), u"OSC 1.0 (length)"_s);
    EXPECT_EQ(chooser->currentIndex(), 0) << "nothing stored: automatic";
    EXPECT_FALSE(panel->consoleVersion()->isVisibleTo(panel)) << "no version before the console told it";

    chooser->setFocus();
    QTest::keyClick(chooser, Qt::Key_Down);
    QTest::keyClick(chooser, Qt::Key_Down);
    EXPECT_EQ(manager().framingChoice(), EosFramingChoice::length);
    EXPECT_EQ(settings().value(u"eosFraming"_s).toString(), u"length"_s);
    QTest::keyClick(bar->consolePopover(), Qt::Key_Escape);
    EXPECT_EQ(open()->framingChooser()->currentIndex(), 2);
}

TEST_F(ConsoleBar, ConnectGoesWhereTheFieldsSayWithTheDefaultsForWhatIsMissing) {
    EosConsolePopover* panel = open();
    ASSERT_NE(panel, nullptr);
    EXPECT_NE(replyPort, 0) << "opening the popover browses at once";
    EXPECT_TRUE(panel->addressField()->text().isEmpty());
    EXPECT_EQ(panel->addressField()->placeholderText(), u"127.0.0.1"_s);
    EXPECT_EQ(panel->portField()->placeholderText(), u"3038"_s);
    EXPECT_EQ(panel->portField()->width(), 52);
    EXPECT_GE(panel->addressField()->width(), 110);
    EXPECT_LE(panel->addressField()->width(), 160);
    EXPECT_GE(panel->width(), EosConsolePopover::minimumWidth);
    EXPECT_FALSE(panel->discoveredSection()->isVisible());

    QTest::mouseClick(panel->connectButton(), Qt::LeftButton);
    EXPECT_EQ(manager().connectionTarget(), (EosConsoleAddress{u"127.0.0.1"_s, 3038}));
    EXPECT_FALSE(settings().contains(eosIPKey)) << "nothing is stored until the user types";

    // Stored exactly as typed; the connection takes the address trimmed.
    QTest::keyClicks(panel->addressField(), u" 127.0.0.5 "_s);
    EXPECT_EQ(settings().value(eosIPKey).toString(), u" 127.0.0.5 "_s);
    QTest::keyClick(panel->portField(), Qt::Key_Return);
    EXPECT_EQ(manager().connectionTarget(), (EosConsoleAddress{u"127.0.0.5"_s, 3038}));

    QTest::keyClicks(panel->portField(), u"+3037"_s);
    EXPECT_EQ(settings().value(eosPortKey).toString(), u"+3037"_s);
    QTest::keyClick(panel->addressField(), Qt::Key_Return);
    EXPECT_EQ(manager().connectionTarget(), (EosConsoleAddress{u"127.0.0.5"_s, 3037}));

    // A port text that is no number connects to 3038 but stays as typed.
    QTest::keyClicks(panel->portField(), u"x"_s);
    QTest::keyClick(panel->portField(), Qt::Key_Return);
    EXPECT_EQ(settings().value(eosPortKey).toString(), u"+3037x"_s);
    EXPECT_EQ(manager().connectionTarget(), (EosConsoleAddress{u"127.0.0.5"_s, 3038}));
    EXPECT_NE(bar->consolePopover(), nullptr) << "the popover stays open";

    // The desk's two ports are offered with what they mean, and taken as if typed.
    auto* ports = panel->findChild<QToolButton*>(u"consolePorts"_s);
    ASSERT_NE(ports, nullptr);
    const QList<QAction*> offered = ports->menu()->actions();
    ASSERT_EQ(offered.size(), 2);
    EXPECT_TRUE(offered[1]->text().startsWith(u"3037 — third-party OSC, always SLIP"_s));
    offered[1]->trigger();
    EXPECT_EQ(panel->portField()->text(), u"3037"_s);
    EXPECT_EQ(settings().value(eosPortKey).toString(), u"3037"_s);
}

TEST_F(ConsoleBar, DiscoveredConsolesShowLiveAndOneClickConnects) {
    EosConsolePopover* panel = open();
    ASSERT_NE(replyPort, 0);
    EXPECT_FALSE(panel->discoveredSection()->isVisible());
    EXPECT_TRUE(panel->hostRows().isEmpty());

    reply(4000, "Zeta Desk (Eos Ti)");
    ASSERT_TRUE(test::waitFor([&] { return panel->hostRows().size() == 1; }));
    EXPECT_TRUE(panel->discoveredSection()->isVisible());
    DiscoveredHostRow* zeta = panel->hostRows().front();
    EXPECT_EQ(zeta->displayName(), u"Zeta Desk"_s);
    EXPECT_EQ(zeta->consoleType(), u"Eos Ti"_s);
    EXPECT_EQ(zeta->host().ip, u"127.0.0.1"_s);
    EXPECT_EQ(zeta->dotColor(), SystemColors::fromPalette(zeta->palette()).grey);

    // A second console joins the list in name order; the first keeps its row.
    reply(console.serverPort(), "Alpha");
    ASSERT_TRUE(test::waitFor([&] { return panel->hostRows().size() == 2; }));
    EXPECT_EQ(panel->hostRows()[0]->displayName(), u"Alpha"_s);
    EXPECT_EQ(panel->hostRows()[0]->consoleType(), u"OSC"_s);
    EXPECT_EQ(panel->hostRows()[1], zeta);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(bar->consolePopover()));
    EXPECT_TRUE(bar->consolePopover()->geometry().contains(
        panel->hostRows()[0]->mapToGlobal(panel->hostRows()[0]->rect().center())))
        << "the popover grew to hold the rows";
    const QRect button(bar->statusButton()->mapToGlobal(QPoint(0, 0)), bar->statusButton()->size());
    EXPECT_FALSE(bar->consolePopover()->geometry().intersects(button)) << "and stayed beside its button";
    // However it grows, as when the window system applies a new layout later.
    bar->consolePopover()->resize(bar->consolePopover()->size() + QSize(0, 80));
    EXPECT_FALSE(bar->consolePopover()->geometry().intersects(button));

    QTest::mouseClick(panel->hostRows()[0], Qt::LeftButton);
    EXPECT_TRUE(panel->hostRows()[0]->isInUse());
    EXPECT_EQ(panel->hostRows()[0]->secondaryText(), u"In use \u00b7 OSC"_s);
    EXPECT_FALSE(zeta->isInUse());
    const QString port = QString::number(console.serverPort());
    EXPECT_EQ(panel->addressField()->text(), u"127.0.0.1"_s);
    EXPECT_EQ(panel->portField()->text(), port);
    EXPECT_EQ(settings().value(eosIPKey).toString(), u"127.0.0.1"_s);
    EXPECT_EQ(settings().value(eosPortKey).toString(), port);
    ASSERT_TRUE(test::waitFor([&] { return statusOf(window) == u"Eos Connected 127.0.0.1"_s; }));
    EXPECT_NE(bar->consolePopover(), nullptr) << "the popover stays open";
}

// A console that refuses: the popover and the button's tooltip say so and count down to
// the next attempt on the link's clock, without moving the fields; Retry Now starts the
// back-off afresh, and Disconnect stops retrying but keeps the console stored.
TEST_F(ConsoleBar, ARefusedConnectionSaysWhyCountsDownAndCanBeRetriedOrDropped) {
    const std::uint16_t closedPort = test::freeTCPPort();
    settings().setValue(eosIPKey, u"127.0.0.1"_s);
    settings().setValue(eosPortKey, QString::number(closedPort));
    EosConsolePopover* panel = open();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(bar->consolePopover()));
    const QPoint fieldAt = panel->addressField()->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(panel->consoleState()->text(), u"Disconnected"_s);
    EXPECT_FALSE(panel->disconnectButton()->isVisible());

    test::FakeClock& clock = *fixture.link.linkClock;
    const QString refused = u"Connection refused by 127.0.0.1:"_s + QString::number(closedPort);
    const auto shows = [&](const QString& countdown) {
        return panel->consoleState()->text() == refused && panel->retryCountdown()->text() == countdown &&
               panel->retryCountdown()->isVisible();
    };
    QTest::mouseClick(panel->connectButton(), Qt::LeftButton);
    ASSERT_TRUE(test::waitFor([&] { return shows(u"Retrying in 3 s"_s); }))
        << panel->consoleState()->text().toStdString();
    EXPECT_EQ(panel->connectButton()->text(), u"Retry Now"_s);
    EXPECT_TRUE(panel->disconnectButton()->isVisible());
    EXPECT_EQ(test::tooltipAsShown(bar->statusButton()->toolTip()), refused + u"\nRetrying in 3 s"_s);
    clock.advance(1s);
    EXPECT_TRUE(shows(u"Retrying in 2 s"_s));
    clock.advance(1s);
    EXPECT_TRUE(shows(u"Retrying in 1 s"_s));
    EXPECT_EQ(panel->addressField()->mapToGlobal(QPoint(0, 0)), fieldAt)
        << "the lines came without moving it";
    EXPECT_EQ(bar->caption()->text(), u"OSC over TCP"_s);
    // The tooltip counts from where the countdown is, whenever it is shown.
    const QPoint inButton = bar->statusButton()->rect().center();
    QHelpEvent hover(QEvent::ToolTip, inButton, bar->statusButton()->mapToGlobal(inButton));
    QApplication::sendEvent(bar->statusButton(), &hover);
    EXPECT_EQ(test::tooltipAsShown(bar->statusButton()->toolTip()), refused + u"\nRetrying in 1 s"_s);

    // The retry is refused too, and the back-off grows; Retry Now starts it again.
    clock.advance(1s);
    ASSERT_TRUE(test::waitFor([&] { return shows(u"Retrying in 6 s"_s); }));
    QTest::mouseClick(panel->connectButton(), Qt::LeftButton);
    ASSERT_TRUE(test::waitFor([&] { return shows(u"Retrying in 3 s"_s); }));

    // Closed, the popover leaves nothing ticking: the retry is the one timer left.
    QTest::keyClick(bar->consolePopover(), Qt::Key_Escape);
    EXPECT_EQ(clock.pendingDelays(), std::vector{3000ms});
    QTest::mouseClick(bar->statusButton(), Qt::LeftButton);
    panel = bar->consolePanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(shows(u"Retrying in 3 s"_s));

    QTest::mouseClick(panel->disconnectButton(), Qt::LeftButton);
    EXPECT_EQ(panel->consoleState()->text(), u"Disconnected"_s);
    EXPECT_FALSE(panel->retryCountdown()->isVisible());
    EXPECT_FALSE(panel->disconnectButton()->isVisible());
    EXPECT_EQ(panel->connectButton()->text(), u"Connect"_s);
    EXPECT_TRUE(bar->statusButton()->toolTip().isEmpty());
    EXPECT_EQ(statusOf(window), u"Eos Disconnected"_s);
    clock.advance(60s);
    EXPECT_FALSE(manager().connectionTarget()) << "nothing is retried";
    EXPECT_EQ(settings().value(eosPortKey).toString(), QString::number(closedPort)) << "still stored";
}

TEST_F(ConsoleBar, ManyConsolesScrollRatherThanStretchThePopover) {
    EosConsolePopover* panel = open();
    ASSERT_NE(replyPort, 0);
    for (std::uint16_t port = 5000; port < 5040; ++port)
        reply(port, "Desk (Eos)");
    ASSERT_TRUE(test::waitFor([&] { return panel->hostRows().size() == 40; }));
    EXPECT_LE(panel->discoveredSection()->height(), EosConsolePopover::maximumListHeight + 60);
}

TEST_F(ConsoleBar, ClosingThePopoverStopsBrowsingWhileNoLinkIsUp) {
    open();
    ASSERT_NE(replyPort, 0);
    QTest::keyClick(bar->consolePopover(), Qt::Key_Escape);
    EXPECT_EQ(bar->consolePopover(), nullptr);
    fixture.link.discoveryClock->advance(40s);
    EXPECT_EQ(fixture.link.discoveryConsole.drain(), 0) << "neither the burst nor the refresh goes on";

    // Opened again, it browses again at once.
    open();
    EXPECT_NE(replyPort, 0);
}

TEST_F(ConsoleBar, ClosingAWindowWithItsConsolePopoverOpenEndsItsBrowsing) {
    DocumentWindow* second = fixture.app->newDocument();
    ASSERT_TRUE(QTest::qWaitForWindowActive(second));
    open();
    ASSERT_NE(replyPort, 0);
    QPointer<EosStatusBarView> closing = bar;
    QPointer<Popover> popover = bar->consolePopover();
    window->close();
    ASSERT_TRUE(test::waitFor([&] { return closing.isNull(); })) << "the window and its bar are gone";
    EXPECT_TRUE(popover.isNull());
    fixture.link.discoveryClock->advance(40s);
    EXPECT_EQ(fixture.link.discoveryConsole.drain(), 0) << "neither the burst nor the refresh goes on";
}

} // namespace
} // namespace pexlora
