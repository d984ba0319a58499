// SPDX-License-Identifier: GPL-3.0-or-later
// pexlora-console-sim: stands in for an Eos console while trying Pexlora out.
#include "ConsoleSimulator.h"
#include "SimulatorOutput.h"
#include "SimulatorPatch.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

using pexlora::sim::printLine;

std::optional<std::uint16_t> portOption(const QCommandLineParser& parser, const QCommandLineOption& option) {
    bool ok = false;
    const uint value = parser.value(option).toUInt(&ok);
    if (!ok || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::optional<int> millisecondsOption(const QCommandLineParser& parser, const QCommandLineOption& option) {
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

std::optional<pexlora::sim::SimulatorFraming> framingOption(const QString& text) {
    using pexlora::sim::SimulatorFraming;
    if (text == QLatin1String("auto"))
        return SimulatorFraming::automatic;
    if (text == QLatin1String("slip"))
        return SimulatorFraming::slip;
    if (text == QLatin1String("length"))
        return SimulatorFraming::length;
    return std::nullopt;
}

bool isWildcard(const QHostAddress& address) {
    return address == QHostAddress::Any || address == QHostAddress::AnyIPv4 ||
           address == QHostAddress::AnyIPv6;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pexlora-console-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Stands in for an ETC Eos console: answers OSC discovery requests over UDP, accepts OSC over TCP "
        "(SLIP or length-prefixed), prints every message and group it is sent, and answers as a desk does:\n"
        "pings, the version, the command line echo, the selected channels and the patch.\n"
        "\n"
        "To try:\n"
        "  the framings    --framing slip (a desk set to OSC 1.1) or --framing length (the desk's default,\n"
        "                  OSC 1.0); Pexlora's Automatic framing finds either and names it in the status "
        "bar\n"
        "  a patch import  --patch 1-48,101-110 (the default), or --patch 1-2000 for a large rig\n"
        "  OSC output off  --silent: Pexlora stays connected and says the console does not answer\n"
        "  a flaky desk    --drop-after 0: every connection is closed at once; Pexlora backs off 3, 6, 12, "
        "24, 30 s\n"
        "  a frozen desk   --stall-after 5000: after 5 s nothing is read or answered; Pexlora says the "
        "console\n"
        "                  is not answering within 20 s, and answers again once the simulator is restarted"));
    parser.addHelpOption();
    const QCommandLineOption address(QStringLiteral("address"),
                                     QStringLiteral("Address to accept TCP on (default 127.0.0.1)."),
                                     QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption tcpPort(QStringLiteral("tcp-port"),
                                     QStringLiteral("TCP port (default 3038; 0: any free port)."),
                                     QStringLiteral("port"), QStringLiteral("3038"));
    const QCommandLineOption discoveryAddress(
        QStringLiteral("discovery-address"),
        QStringLiteral(
            "Address to hear discovery requests on (default: --address; 0.0.0.0 hears broadcasts)."),
        QStringLiteral("address"));
    const QCommandLineOption discoveryPort(
        QStringLiteral("discovery-port"),
        QStringLiteral("UDP discovery port (default 3034; 0: any free port)."), QStringLiteral("port"),
        QStringLiteral("3034"));
    const QCommandLineOption name(
        QStringLiteral("name"),
        QStringLiteral("Console name and type in replies (default \"Pexlora Simulator (Simulator)\")."),
        QStringLiteral("name"), QStringLiteral("Pexlora Simulator (Simulator)"));
    const QCommandLineOption framing(
        QStringLiteral("framing"),
        QStringLiteral("TCP framing: slip, length (anything else closes the connection) or auto (default)."),
        QStringLiteral("framing"), QStringLiteral("auto"));
    const QCommandLineOption patch(QStringLiteral("patch"),
                                   QStringLiteral("Patched channels (default 1-48,101-110)."),
                                   QStringLiteral("list"), QStringLiteral("1-48,101-110"));
    const QCommandLineOption silent(QStringLiteral("silent"),
                                    QStringLiteral("Never answer (as a desk with OSC output off)."));
    const QCommandLineOption dropAfter(QStringLiteral("drop-after"),
                                       QStringLiteral("Close every connection this long after accepting it."),
                                       QStringLiteral("ms"));
    const QCommandLineOption stallAfter(
        QStringLiteral("stall-after"),
        QStringLiteral("This long after starting, stop reading and answering without closing."),
        QStringLiteral("ms"));
    const QCommandLineOption losePatchReply(QStringLiteral("lose-patch-reply"),
                                            QStringLiteral("Never answer the question for this patch index."),
                                            QStringLiteral("index"));
    parser.addOptions({address, tcpPort, discoveryAddress, discoveryPort, name, framing, patch, silent,
                       dropAfter, stallAfter, losePatchReply});
    parser.process(app);

    pexlora::sim::SimulatorOptions options;
    options.address = QHostAddress(parser.value(address));
    options.discoveryAddress =
        parser.isSet(discoveryAddress) ? QHostAddress(parser.value(discoveryAddress)) : options.address;
    // Consoles that hear broadcasts advertise the TCP port to everyone who asks: it must be reachable there
    // too.
    if (isWildcard(options.discoveryAddress) && !isWildcard(options.address)) {
        if (parser.isSet(address)) {
            printLine("pexlora-console-sim: a wildcard --discovery-address advertises the TCP port to every "
                      "network, but --address accepts TCP on " +
                      options.address.toString().toStdString() + " only");
            return 2;
        }
        options.address = options.discoveryAddress;
    }
    const auto tcp = portOption(parser, tcpPort);
    const auto udp = portOption(parser, discoveryPort);
    if (options.address.isNull() || options.discoveryAddress.isNull() || !tcp || !udp) {
        printLine("pexlora-console-sim: invalid address or port (see --help)");
        return 2;
    }
    options.tcpPort = *tcp;
    options.discoveryPort = *udp;
    options.name = parser.value(name);
    const auto chosenFraming = framingOption(parser.value(framing));
    const auto channels = pexlora::sim::patchChannels(parser.value(patch).toStdString());
    const auto drop =
        parser.isSet(dropAfter) ? millisecondsOption(parser, dropAfter) : std::optional<int>(-1);
    const auto stallMs =
        parser.isSet(stallAfter) ? millisecondsOption(parser, stallAfter) : std::optional<int>(-1);
    const auto lose =
        parser.isSet(losePatchReply) ? millisecondsOption(parser, losePatchReply) : std::optional<int>(-1);
    if (!chosenFraming || !channels || !drop || !stallMs || !lose) {
        printLine("pexlora-console-sim: invalid --framing, --patch, --drop-after, --stall-after or "
                  "--lose-patch-reply (see --help)");
        return 2;
    }
    options.framing = *chosenFraming;
    options.patch = *channels;
    options.silent = parser.isSet(silent);
    if (*drop >= 0)
        options.dropAfterMs = *drop;
    if (*stallMs >= 0)
        options.stallAfterMs = *stallMs;
    if (*lose >= 0)
        options.losePatchReply = *lose;

    pexlora::sim::ConsoleSimulator simulator(options);
    if (const auto started = simulator.start(); !started.ok()) {
        printLine("pexlora-console-sim: " + started.error());
        return 1;
    }
    return app.exec();
}
