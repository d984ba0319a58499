// SPDX-License-Identifier: GPL-3.0-or-later
// One discovery round with real broadcasts, inside a network namespace of the test's own
// (loopback and one veth pair), so that nothing leaves the machine.
#include "EosTestSupport.h"
#include "eos/EosDiscoveryManager.h"

#include <QCoreApplication>
#include <cstdio>
#include <gtest/gtest.h>
#include <unistd.h>

namespace pexlora {

namespace test {

constexpr const char* namespaceHelperFlag = "--discovery-round-in-namespace";

// Runs inside the namespace: the simulator hears broadcasts on 0.0.0.0:3034, and
// discovery runs with every default, sending to the namespace's broadcast addresses.
int discoveryRoundInNamespace() {
    const auto simulator = startSimulator({QStringLiteral("--address"), QStringLiteral("0.0.0.0")});
    if (!simulator) {
        std::puts("the simulator did not start");
        return 1;
    }
    QStringList destinations;
    for (const QString& address : systemBroadcastAddresses())
        destinations.append(address);
    std::printf("Requests go to %s\n", destinations.join(QStringLiteral(", ")).toUtf8().constData());
    EosDiscoveryManager discovery;
    discovery.settingsOpened();
    const bool found = waitFor([&] { return !discovery.discoveredHosts().empty(); }, 15s);
    for (const EosDiscoveredHost& host : discovery.discoveredHosts())
        std::printf("Discovered %s \"%s\" (%s)\n", host.id.toUtf8().constData(),
                    host.name.toUtf8().constData(), host.consoleType.toUtf8().constData());
    for (const QString& line : simulator->child->lines())
        std::printf("simulator: %s\n", line.toUtf8().constData());
    std::fflush(stdout);
    return found ? 0 : 1;
}

} // namespace test

namespace {

using namespace test;

TEST(DiscoveryInNamespace, FindsTheSimulatorByBroadcast) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "creating a network namespace needs root";
    if (!toolAvailable(QStringLiteral("unshare")) || !toolAvailable(QStringLiteral("ip")))
        GTEST_SKIP() << "needs unshare (util-linux) and ip (iproute2)";
    const QString setup = QStringLiteral("ip link set lo up && ip link add v0 type veth peer name v1 && ip "
                                         "addr add 10.99.0.1/24 brd + dev v0 && "
                                         "ip link set v0 up && ip link set v1 up && ip route add default dev "
                                         "v0 && echo 'namespace ready' && "
                                         "exec \"$0\" %1")
                              .arg(QString::fromLatin1(namespaceHelperFlag));
    Child round(QStringLiteral("unshare"),
                {QStringLiteral("--net"), QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"),
                 setup, QCoreApplication::applicationFilePath()});
    if (!round.waitForLine(QStringLiteral("namespace ready"), 20s))
        GTEST_SKIP() << "no network namespace here: " << round.lines().join(QLatin1Char(' ')).toStdString();
    const auto discovered = round.waitForLine(QStringLiteral("Discovered "), 40s);
    round.process().waitForFinished(20000);
    round.waitForLine([](const QString&) { return false; }, 200ms);
    const std::string transcript = round.lines().join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(discovered) << transcript;
    EXPECT_EQ(*discovered, QStringLiteral("Discovered osc:10.99.0.1:3038 \"Pexlora Simulator\" (Simulator)"))
        << transcript;
    EXPECT_TRUE(round.lines().contains(QStringLiteral("Requests go to 255.255.255.255, 10.99.0.255")))
        << transcript;
    EXPECT_EQ(round.process().exitCode(), 0) << transcript;
}

} // namespace
} // namespace pexlora
