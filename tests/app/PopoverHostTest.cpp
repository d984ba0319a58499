// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/PopoverHost.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace pexlora {
namespace {

// Content that speaks as it hides, as a field losing its focus does.
class ChattyPanel : public QLineEdit {
    Q_OBJECT

public:
signals:
    void hidden();

protected:
    void hideEvent(QHideEvent* event) override {
        QLineEdit::hideEvent(event);
        emit hidden();
    }
};

// An owner that counts, in storage it does not own, every call that reaches it
// from its popover, and keeps a member that dies before its QWidget base does.
class Owner : public QWidget {
public:
    explicit Owner(int& calls)
        : host(this)
        , m_calls(calls) {
        connect(&host, &PopoverHost::closed, this, [this] { note(); });
        resize(200, 100);
    }

    void openPanel() {
        auto panel = std::make_unique<ChattyPanel>();
        connect(panel.get(), &ChattyPanel::hidden, this, [this] { note(); });
        host.open(std::move(panel), this, Popover::Edge::below);
    }

    PopoverHost host;

private:
    void note() { ++**m_alive; }

    int& m_calls;
    std::unique_ptr<int*> m_alive = std::make_unique<int*>(&m_calls);
};

TEST(PopoverHost, ClosingByTheOwnerOrTheUserTellsOnceAndLetsThePopoverGo) {
    int calls = 0;
    Owner owner(calls);
    owner.show();
    QSignalSpy closed(&owner.host, &PopoverHost::closed);

    owner.openPanel();
    QPointer<Popover> first = owner.host.popover();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_NE(owner.host.panel<ChattyPanel>(), nullptr);
    owner.host.close();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(owner.host.isOpen());
    EXPECT_EQ(owner.host.panel<ChattyPanel>(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.isNull(); })) << "deleted once closed";

    owner.openPanel();
    QTest::keyClick(owner.host.popover(), Qt::Key_Escape);
    EXPECT_EQ(closed.count(), 2) << "closed by the user";
    EXPECT_FALSE(owner.host.isOpen());
    owner.host.close();
    EXPECT_EQ(closed.count(), 2) << "nothing open, nothing to tell";
}

TEST(PopoverHost, DismissingOrOpeningAnotherClosesWithoutTelling) {
    int calls = 0;
    Owner owner(calls);
    owner.show();
    QSignalSpy closed(&owner.host, &PopoverHost::closed);

    owner.openPanel();
    QPointer<Popover> first = owner.host.popover();
    owner.openPanel();
    EXPECT_FALSE(first->isVisible());
    EXPECT_NE(owner.host.popover(), first);
    EXPECT_TRUE(owner.host.popover()->isVisible());
    owner.host.dismiss();
    EXPECT_FALSE(owner.host.isOpen());
    EXPECT_EQ(closed.count(), 0);
}

TEST(PopoverHost, AnOwnerTornDownWithItsPopoverOpenHearsNothingFromIt) {
    int calls = 0;
    auto owner = std::make_unique<Owner>(calls);
    owner->show();
    owner->openPanel();
    const int callsWhileOpen = calls;
    QPointer<Popover> popover = owner->host.popover();
    // Under the address sanitizer a call into the dead member is a failure of its own.
    owner.reset();
    EXPECT_EQ(calls, callsWhileOpen);
    EXPECT_TRUE(popover.isNull()) << "it went with its owner";
}

// A widget that counts the presses that reach it.
class Pad : public QWidget {
public:
    using QWidget::QWidget;
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
};

TEST(Popover, APressOutsideClosesItAndReachesWhatIsUnderItOnlyWhereThePopoverSaysSo) {
    for (const Popover::OutsidePress policy :
         {Popover::OutsidePress::closeOnly, Popover::OutsidePress::passOn}) {
        const bool passOn = policy == Popover::OutsidePress::passOn;
        SCOPED_TRACE(passOn ? "pass on" : "close only");
        QWidget window;
        window.resize(300, 200);
        auto* anchor = new Pad(&window);
        anchor->setGeometry(0, 0, 100, 30);
        auto* elsewhere = new Pad(&window);
        elsewhere->setGeometry(0, 150, 300, 50);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        PopoverHost host(&window);
        const auto open = [&] {
            host.open(std::make_unique<QLineEdit>(), anchor, Popover::Edge::below)->setOutsidePress(policy);
        };
        // As the window system sends it: to the window, which hands it to the open popup.
        const auto press = [&](QWidget* pad) {
            QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, pad->geometry().center());
        };

        open();
        press(elsewhere);
        EXPECT_FALSE(host.isOpen());
        EXPECT_EQ(elsewhere->presses, passOn ? 1 : 0);

        open();
        press(anchor);
        EXPECT_FALSE(host.isOpen());
        EXPECT_EQ(anchor->presses, 0) << "reaching the anchor would open it again";
    }
}

} // namespace
} // namespace pexlora

#include "PopoverHostTest.moc"
