// pexlora-console-sim: stands in for an Eos console while trying Pexlora out.
#include "ConsoleSimulator.h"
#include "SimulatorOutput.h"

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

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pexlora-console-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Stands in for an ETC Eos console: answers OSC discovery requests over UDP, accepts OSC over TCP "
        "(SLIP or length-prefixed), and prints every message and group it is sent."));
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
    parser.addOptions({address, tcpPort, discoveryAddress, discoveryPort, name});
    parser.process(app);

    pexlora::sim::SimulatorOptions options;
    options.address = QHostAddress(parser.value(address));
    options.discoveryAddress =
        parser.isSet(discoveryAddress) ? QHostAddress(parser.value(discoveryAddress)) : options.address;
    const auto tcp = portOption(parser, tcpPort);
    const auto udp = portOption(parser, discoveryPort);
    if (options.address.isNull() || options.discoveryAddress.isNull() || !tcp || !udp) {
        printLine("pexlora-console-sim: invalid address or port (see --help)");
        return 2;
    }
    options.tcpPort = *tcp;
    options.discoveryPort = *udp;
    options.name = parser.value(name);

    pexlora::sim::ConsoleSimulator simulator(options);
    if (const auto started = simulator.start(); !started.ok()) {
        printLine("pexlora-console-sim: " + started.error());
        return 1;
    }
    return app.exec();
}
