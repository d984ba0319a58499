// SPDX-License-Identifier: GPL-3.0-or-later
// pexlora-console-sim as a real desk: framings, answers, faults and the patch.
#include "EosTestSupport.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosPatchDirectory.h"
#include "eos/EosPatchImport.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace test;

QStringList deskArguments(QStringList extra, std::uint16_t tcpPort = 0) {
    return QStringList{QStringLiteral("--tcp-port"), QString::number(tcpPort),
                       QStringLiteral("--discovery-port"), QStringLiteral("0")} +
           extra;
}

class DeskTest : public testing::Test {
protected:
    std::unique_ptr<EosConnectionManager> makeManager(std::shared_ptr<EosClock> linkClock) {
        EosConnectionConfig config;
        config.clock = std::move(linkClock);
        config.discovery.listenPort = 0;
        config.discovery.destinations = [] { return std::vector<QString>{QStringLiteral("127.0.0.1")}; };
        config.discovery.clock = std::make_shared<FakeClock>();
        config.settings =
            std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("Pexlora.conf")), QSettings::IniFormat);
        return std::make_unique<EosConnectionManager>(std::move(config));
    }
    bool pendingAre(std::vector<std::chrono::milliseconds> delays) {
        return waitFor([&] { return clock->pendingDelays() == delays; });
    }

    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();

private:
    QTemporaryDir m_dir;
};

TEST_F(DeskTest, AutomaticFramingFindsWhatEachDeskReadsAndRemembersIt) {
    // Without --framing the desk is as it ships: OSC 1.0, reached after SLIP on any port but 3032.
    for (const auto& [mode, expected] :
         {std::pair{QStringList{QStringLiteral("--framing"), QStringLiteral("slip")}, EosFraming::slip},
          std::pair{QStringList{QStringLiteral("--framing"), QStringLiteral("length")}, EosFraming::length},
          std::pair{QStringList{}, EosFraming::length}}) {
        SCOPED_TRACE(mode.join(QLatin1Char(' ')).toStdString());
        auto desk = startSimulator(deskArguments(mode));
        ASSERT_TRUE(desk);
        auto manager = makeManager(EosClock::system());
        manager->connectToConsole(QStringLiteral("127.0.0.1"), desk->tcpPort);
        ASSERT_TRUE(waitFor([&] { return manager->health() == EosConsoleHealth::answering; }));
        EXPECT_EQ(manager->framing(), expected);
        ASSERT_TRUE(waitFor([&] { return manager->consoleVersion() == QStringLiteral("3.2.8.26"); }));

        // The next time the answered framing comes first: one connection, no detour.
        QSignalSpy framings(manager.get(), &EosConnectionManager::framingChanged);
        manager->connectToConsole(QStringLiteral("127.0.0.1"), desk->tcpPort);
        ASSERT_TRUE(waitFor([&] { return manager->health() == EosConsoleHealth::answering; }));
        EXPECT_EQ(manager->framing(), expected);
        EXPECT_EQ(framings.count(), 2) << "down, then up in the remembered framing";
    }

    // A framing chosen by hand that the desk does not read: it closes, and the link retries.
    auto desk = startSimulator(deskArguments({QStringLiteral("--framing"), QStringLiteral("slip")}));
    ASSERT_TRUE(desk);
    auto manager = makeManager(clock);
    manager->setFramingChoice(EosFramingChoice::length);
    manager->connectToConsole(QStringLiteral("127.0.0.1"), desk->tcpPort);
    ASSERT_TRUE(desk->child->waitForLine(QStringLiteral("Connection from")));
    ASSERT_TRUE(desk->child->waitForLine(
        [](const QString& line) { return line.endsWith(QLatin1String("not SLIP, closing")); }));
    EXPECT_TRUE(pendingAre({3s}));
    EXPECT_EQ(manager->health(), EosConsoleHealth::offline);
}

TEST_F(DeskTest, TheDesksEchoAndSelectionComeBackCoalesced) {
    auto desk = startSimulator(deskArguments({}));
    ASSERT_TRUE(desk);
    auto manager = makeManager(EosClock::system());
    QSignalSpy lines(manager.get(), &EosConnectionManager::consoleCommandLineChanged);
    manager->connectToConsole(QStringLiteral("127.0.0.1"), desk->tcpPort);
    ASSERT_TRUE(waitFor([&] { return manager->health() == EosConsoleHealth::answering; }));

    GridElements elements;
    SelectionGroups groups(1);
    for (const char* number : {"1", "2", "3", "7"}) {
        elements.push_back({QUuid::createUuid(),
                            {static_cast<std::int64_t>(elements.size()), 0},
                            QString::fromLatin1(number)});
        groups[0].push_back(elements.back().id);
    }
    manager->recordGroup(QStringLiteral("12"), groups, elements);
    ASSERT_TRUE(waitFor(
        [&] { return manager->consoleCommandLine() == QStringLiteral("LIVE: Record Group 12 Enter"); }));
    EXPECT_EQ(manager->consoleActiveChannels(), QString())
        << "user 91's recording selects nothing at the desk";

    // The operator at the desk calls the group up: its selection, level and the one echo it saw.
    manager->send(QStringLiteral("/eos/user/1/newcmd"), QStringLiteral("Group 12 Enter"));
    ASSERT_TRUE(waitFor([&] { return manager->consoleActiveChannels() == QStringLiteral("1-3, 7 [0]"); }));
    EXPECT_EQ(manager->consoleCommandLine(), QStringLiteral("LIVE: Record Group 12 Enter"))
        << "the desk's own line is not the line of the user Pexlora types as";
    EXPECT_EQ(lines.count(), 1);

    manager->send(QStringLiteral("/eos/user/1/newcmd"), QStringLiteral("Chan 4 Full Enter"));
    ASSERT_TRUE(waitFor([&] {
        return manager->consoleActiveChannels() == QStringLiteral("4 [100] FOH 4 Source Four 19deg @ 1/4");
    })) << manager->consoleActiveChannels().toStdString();
}

TEST_F(DeskTest, AStalledDeskIsGoneAfterFifteenSilentSecondsAndRetriedOnSchedule) {
    auto desk = startSimulator(deskArguments({QStringLiteral("--stall-after"), QStringLiteral("300"),
                                              QStringLiteral("--framing"), QStringLiteral("slip")}));
    ASSERT_TRUE(desk);
    const std::uint16_t port = desk->tcpPort;
    auto manager = makeManager(clock);
    manager->connectToConsole(QStringLiteral("127.0.0.1"), port);
    ASSERT_TRUE(waitFor([&] { return manager->health() == EosConsoleHealth::answering; }));
    ASSERT_TRUE(desk->child->waitForLine(QStringLiteral("Stalled")));

    clock->advance(10s);
    EXPECT_EQ(manager->health(), EosConsoleHealth::answering) << "ten silent seconds are not enough";
    clock->advance(5s);
    EXPECT_EQ(manager->health(), EosConsoleHealth::gone);
    EXPECT_FALSE(manager->isConnected());
    ASSERT_TRUE(pendingAre({3s})) << "it had been up for five seconds: the schedule starts again";

    // The stalled desk still accepts connections, but it does not answer on them: still gone.
    for (const auto wait : {3s, 6s}) {
        clock->advance(wait);
        ASSERT_TRUE(waitFor([&] { return manager->isConnected(); }));
        EXPECT_EQ(manager->health(), EosConsoleHealth::gone);
        clock->advance(2s);
        ASSERT_TRUE(waitFor([&] { return manager->framing() == EosFraming::length; }))
            << "it may have come back in the other framing";
        EXPECT_EQ(manager->health(), EosConsoleHealth::gone);
        clock->advance(2s);
        ASSERT_TRUE(waitFor([&] { return clock->pendingDelays().size() == 1; }));
        EXPECT_EQ(clock->pendingDelays(), std::vector<std::chrono::milliseconds>{2 * wait});
    }

    // Restarted, and set to the other framing meanwhile: it is found at the next retry.
    desk.reset();
    auto restarted =
        startSimulator(deskArguments({QStringLiteral("--framing"), QStringLiteral("length")}, port));
    ASSERT_TRUE(restarted);
    clock->advance(12s);
    EXPECT_TRUE(waitFor([&] { return manager->health() == EosConsoleHealth::answering; }));
    EXPECT_EQ(manager->framing(), EosFraming::length);
}

TEST_F(DeskTest, ADeskThatDropsEveryConnectionIsRetriedWithAGrowingBackOff) {
    auto desk = startSimulator(deskArguments({QStringLiteral("--drop-after"), QStringLiteral("0")}));
    ASSERT_TRUE(desk);
    auto manager = makeManager(clock);
    manager->connectToConsole(QStringLiteral("127.0.0.1"), desk->tcpPort);
    for (const auto wait : {3s, 6s, 12s, 24s, 30s, 30s}) {
        ASSERT_TRUE(pendingAre({wait}))
            << "next retry in " << wait.count() << " s; pending "
            << (clock->pendingDelays().empty() ? -1 : clock->pendingDelays()[0].count()) << " ms, health "
            << static_cast<int>(manager->health());
        EXPECT_EQ(manager->health(), EosConsoleHealth::offline);
        clock->advance(wait);
    }
}

TEST_F(DeskTest, ASilentDeskEndsOnTheFramingItDidNotCloseAndIsNeverDropped) {
    const struct {
        QStringList arguments;
        const char* closed; // how the desk refused the other framing
        EosFraming ends;
    } table[] = {
        // SLIP is tried first and sits quiet; OSC 1.0 is closed; SLIP is kept.
        {{QStringLiteral("--framing"), QStringLiteral("slip")}, "not SLIP, closing", EosFraming::slip},
        // As a desk ships: SLIP is closed at once; OSC 1.0 sits quiet and is kept.
        {{}, "bytes), closing", EosFraming::length},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.closed);
        auto desk = startSimulator(deskArguments(QStringList{QStringLiteral("--silent")} + row.arguments));
        ASSERT_TRUE(desk);
        auto manager = makeManager(clock);
        manager->connectToConsole(QStringLiteral("127.0.0.1"), desk->tcpPort);
        ASSERT_TRUE(waitFor([&] { return manager->health() == EosConsoleHealth::settling; }));
        const auto closed = [&] {
            return desk->child->waitForLine(
                [&](const QString& line) { return line.endsWith(QLatin1String(row.closed)); });
        };
        // The desk closes SLIP as soon as it reads it; the quiet framing then has its time.
        if (row.ends == EosFraming::length) {
            ASSERT_TRUE(closed());
            ASSERT_TRUE(waitFor([&] { return manager->framing() == EosFraming::length; }));
        }
        clock->advance(2s);
        if (row.ends == EosFraming::slip) {
            ASSERT_TRUE(closed());
        }
        clock->advance(2s);
        ASSERT_TRUE(waitFor([&] { return manager->health() == EosConsoleHealth::silent; }));
        EXPECT_EQ(manager->framing(), row.ends);
        clock->advance(120s);
        EXPECT_TRUE(manager->isConnected());
        EXPECT_EQ(manager->health(), EosConsoleHealth::silent);
        EXPECT_EQ(manager->framing(), row.ends);
    }
}

struct PatchRun {
    std::optional<EosPatchResult> result;
    int lastAnswered = 0;
    int total = -1;
};

void watch(EosPatchImport& import, PatchRun& run) {
    QObject::connect(&import, &EosPatchImport::progressChanged, [&run](int answered, int total) {
        run.lastAnswered = answered;
        run.total = total;
    });
    QObject::connect(&import, &EosPatchImport::finished,
                     [&run](const EosPatchResult& result) { run.result = result; });
}

TEST_F(DeskTest, ThePatchOfTwoThousandChannelsIsReadWholeOrWithTheLostReplyCounted) {
    auto desk = startSimulator(deskArguments({QStringLiteral("--patch"), QStringLiteral("1-1000,1001-2000"),
                                              QStringLiteral("--lose-patch-reply"), QStringLiteral("7")}));
    ASSERT_TRUE(desk);
    auto manager = makeManager(EosClock::system());
    manager->connectToConsole(QStringLiteral("127.0.0.1"), desk->tcpPort);
    ASSERT_TRUE(waitFor([&] { return manager->health() == EosConsoleHealth::answering; }));

    EosPatchImport import(*manager, clock);
    PatchRun run;
    watch(import, run);
    import.start();
    ASSERT_TRUE(waitFor([&] { return run.lastAnswered == 1999; }, 30s));
    EXPECT_EQ(run.total, 2000);
    EXPECT_FALSE(run.result) << "index 7 is still awaited";
    clock->advance(2s); // asked once more
    ASSERT_TRUE(desk->child->waitForLine(QStringLiteral("Patch index 7: reply lost")));
    ASSERT_TRUE(desk->child->waitForLine(QStringLiteral("Patch index 7: reply lost")));
    EXPECT_FALSE(run.result);
    clock->advance(2s);
    ASSERT_TRUE(waitFor([&] { return run.result.has_value(); }));
    EXPECT_EQ(run.result->missing, 1);
    EXPECT_EQ(run.result->total, 2000);
    EXPECT_FALSE(run.result->cancelled || run.result->failed);
    ASSERT_EQ(run.result->channels.size(), 1999);
    EXPECT_EQ(run.result->channels.front(), 1);
    EXPECT_EQ(run.result->channels.back(), 2000);
    EXPECT_FALSE(run.result->channels.contains(8));
    EXPECT_TRUE(std::is_sorted(run.result->channels.begin(), run.result->channels.end()));

    // Cancelled part-way: what had arrived, marked so.
    EosPatchImport second(*manager, clock);
    PatchRun cancelled;
    watch(second, cancelled);
    second.start();
    ASSERT_TRUE(waitFor([&] { return cancelled.lastAnswered >= 100; }));
    second.cancel();
    ASSERT_TRUE(waitFor([&] { return cancelled.result.has_value(); }));
    EXPECT_TRUE(cancelled.result->cancelled);
    EXPECT_GE(cancelled.result->channels.size(), 100);
    EXPECT_LT(cancelled.result->channels.size(), 2000);

    // Without a link there is nothing to ask.
    manager->connectToConsole(QString(), 0);
    EosPatchImport third(*manager, clock);
    PatchRun failed;
    watch(third, failed);
    third.start();
    ASSERT_TRUE(waitFor([&] { return failed.result.has_value(); }));
    EXPECT_TRUE(failed.result->failed);
}

TEST_F(DeskTest, AnEmptyPatchIsReportedWhereWhoeverShowsItMayDropTheLink) {
    auto desk = startSimulator(deskArguments({QStringLiteral("--patch"), QString()}));
    ASSERT_TRUE(desk);
    auto manager = makeManager(EosClock::system());
    manager->connectToConsole(QStringLiteral("127.0.0.1"), desk->tcpPort);
    ASSERT_TRUE(waitFor([&] { return manager->health() == EosConsoleHealth::answering; }));

    EosPatchImport import(*manager, clock);
    std::optional<EosPatchResult> result;
    QObject::connect(&import, &EosPatchImport::finished, [&](const EosPatchResult& done) {
        // As a message box does: an event loop of its own, in which the link is dropped and freed.
        QEventLoop box;
        QTimer::singleShot(0, [&] {
            manager->connectToConsole(QString(), 0);
            QTimer::singleShot(0, [&] { QTimer::singleShot(0, &box, &QEventLoop::quit); });
        });
        box.exec();
        result = done;
    });
    import.start();
    ASSERT_TRUE(waitFor([&] { return result.has_value(); }));
    EXPECT_EQ(*result, EosPatchResult{}) << "nothing patched, nothing missing, no failure";
}

TEST_F(DeskTest, ThePatchIsReadOnceTheDeskAnswersAndAgainWhenAShowIsLoaded) {
    auto desk = startSimulator(deskArguments({QStringLiteral("--patch"), QStringLiteral("1-24")}));
    ASSERT_TRUE(desk);
    auto manager = makeManager(EosClock::system());
    manager->connectToConsole(QStringLiteral("127.0.0.1"), desk->tcpPort);
    EosPatchDirectory& patch = manager->patch();
    ASSERT_TRUE(waitFor([&] { return patch.status() == EosPatchDirectory::Status::ready; }));
    ASSERT_EQ(patch.channels().size(), 24u);
    const auto* front = patch.parts(5);
    ASSERT_TRUE(front && front->size() == 1);
    EXPECT_EQ(front->front().label, QStringLiteral("FOH 5"));
    EXPECT_EQ(front->front().intensityAddress, front->front().address);
    ASSERT_TRUE(front->front().position) << "the last part's position too, read before the read ended";
    ASSERT_TRUE(patch.parts(24) && patch.parts(24)->front().position);
    EXPECT_LT(front->front().position->y, patch.parts(24)->front().position->y) << "FOH is downstage";

    desk->child->process().write("load 1-3,30\n");
    ASSERT_TRUE(waitFor([&] { return patch.parts(30) != nullptr; }));
    EXPECT_EQ(patch.channels().size(), 4u);
    EXPECT_EQ(patch.status(), EosPatchDirectory::Status::ready);

    manager->connectToConsole(QString(), 0);
    EXPECT_TRUE(patch.channels().empty()) << "a desk no longer there patches nothing";
}

TEST_F(DeskTest, AWildcardDiscoveryAddressTakesTheTcpAddressWithItOrIsRefused) {
    auto desk = startSimulator({QStringLiteral("--discovery-address"), QStringLiteral("0.0.0.0"),
                                QStringLiteral("--tcp-port"), QStringLiteral("0"),
                                QStringLiteral("--discovery-port"), QStringLiteral("0")});
    ASSERT_TRUE(desk);
    EXPECT_TRUE(desk->child->lines().last().startsWith(QStringLiteral("Ready: TCP 0.0.0.0:")))
        << desk->child->lines().last().toStdString();

    Child refused(QString::fromUtf8(PEXLORA_CONSOLE_SIM),
                  {QStringLiteral("--address"), QStringLiteral("127.0.0.1"),
                   QStringLiteral("--discovery-address"), QStringLiteral("0.0.0.0"),
                   QStringLiteral("--tcp-port"), QStringLiteral("0"), QStringLiteral("--discovery-port"),
                   QStringLiteral("0")});
    ASSERT_TRUE(refused.process().waitForFinished(10000));
    EXPECT_EQ(refused.process().exitCode(), 2);
}

} // namespace
} // namespace pexlora
