// SPDX-License-Identifier: GPL-3.0-or-later
// pexlora-console-sim: stands in for an Eos console while trying Pexlora out.
#include "ConsoleSimulator.h"
#include "SimulatorInput.h"
#include "SimulatorOutput.h"
#include "SimulatorPatch.h"
#include "SimulatorQuit.h"
#include "SimulatorShow.h"

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
    if (text == QLatin1String("slip"))
        return SimulatorFraming::slip;
    if (text == QLatin1String("length"))
        return SimulatorFraming::length;
    return std::nullopt;
}

// "multicast", or a unicast IPv4 address; nothing for anything else.
std::optional<pexlora::sim::SacnDestination> sacnOption(const QString& text, std::uint16_t port) {
    pexlora::sim::SacnDestination destination;
    destination.port = port;
    if (text == QLatin1String("multicast"))
        return destination;
    const QHostAddress address(text);
    if (address.protocol() != QAbstractSocket::IPv4Protocol || address.isMulticast() ||
        address == QHostAddress::AnyIPv4 || address == QHostAddress::Broadcast)
        return std::nullopt;
    destination.unicast = address;
    return destination;
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
        "Stands in for an ETC Eos console: answers OSC discovery requests over UDP, accepts OSC over TCP in "
        "one "
        "framing, prints every message it is sent, and answers as a desk does.\n"
        "\n"
        "As a desk it:\n"
        "  frames every packet one way (--framing) and closes a connection that sends anything else;\n"
        "  keeps each reply within 512 bytes, its address ending in /list/<index>/<count>, split over\n"
        "    several messages where one does not hold it (patch and group replies);\n"
        "  answers /eos/ping, /eos/get/version (version, fixture library version, an int), /eos/get/chans,\n"
        "    /eos/get/patch/count, /eos/get/patch/index/<i> and /eos/get/patch/<chan>[/<part>] (the "
        "21-value\n"
        "    list, notes, Augment3d position and beam), /eos/get/group/count, /eos/get/group/index/<i> and\n"
        "    /eos/get/group/<n> (label, then channels in their order as ints and rising \"X-Y\" runs;\n"
        "    the first value is -1). A group it does not have is no target: it says nothing of it;\n"
        "  keeps a command line and a selection per user: /eos/user/<n>/cmd, /newcmd, /chan, /at act as user "
        "n\n"
        "    and echo on /eos/out/user/<n>/cmd; plain /eos/cmd and the like act as the OSC user "
        "(--osc-user);\n"
        "    user 1 is the operator at the desk: its line is also /eos/out/cmd and its selection\n"
        "    /eos/out/active/chan, with the first channel's level and, for one channel, label, type and "
        "address;\n"
        "  carries out Chan <run>, Group <n>, Record Group <n> (the typing user's selection; an empty one\n"
        "    records nothing), At <level> (or @), At Full, Full, At Out and Out, once the line ends in\n"
        "    Enter or #: \"Chan 1 Thru 5 At 75\", \"1 Thru 5 @ 75\", \"Chan 3 + 7 At 50\"; keys pressed by\n"
        "    /eos/key/<name> (digits, chan, thru, at, full, out, +, group, record, enter) type on the line;\n"
        "  keeps a level 0-100 per channel: set by those commands, /eos/chan/<n> = level (that channel,\n"
        "    which it selects) and /eos/at = level (the selection); a show load sets every channel to 0;\n"
        "  with --sacn, sends those levels as sACN (E1.31) at the patch's intensity addresses, universe\n"
        "    (address-1)/512+1, 16-bit dimmers (patched with two addresses) with the fine byte in the next slot:\n"
        "    about 44 packets a second per universe while levels change, one a second when steady,\n"
        "    priority 100, source \"Eos (Pexlora simulator)\", a new CID each run; on SIGINT or SIGTERM,\n"
        "    and for a universe a show load leaves empty, three \"stream terminated\" packets;\n"
        "  keeps selections and groups in the order the channels were selected:\n"
        "    \"9 Thru 7 + 2\" is 9, 8, 7, 2;\n"
        "  sets groups by /eos/set/group/<n>/label and /eos/set/group/<n>/chans (\"1 > 9 21 31\", "
        "\"1-3,7\");\n"
        "  after /eos/subscribe 1, sends /eos/out/notify/group/... and /eos/out/notify/patch/... on "
        "changes.\n"
        "\n"
        "Typed on standard input while it runs:\n"
        "  load <patch> [<groups>]   loads another show: patch as --patch, groups as --groups\n"
        "  load-demo-2               loads a second demo show (a two-part channel, decimal group 1.2)\n"
        "  Either sends /eos/out/event/show/loaded, clears every selection and notifies subscribers.\n"
        "  Any other line is typed on the operator's command line, Enter at its end: Chan 1 Thru 5 At 75\n"
        "\n"
        "To try:\n"
        "  the framings    --framing slip (a desk set to OSC 1.1); the default is OSC 1.0, as a desk ships\n"
        "  a patch import  --patch 1-48,101-110 (the default), or --patch 1-2000 for a large rig\n"
        "  OSC output off  --silent: Pexlora stays connected and says the console does not answer\n"
        "  a flaky desk    --drop-after 0: every connection is closed at once; Pexlora backs off 3, 6, 12, "
        "24, 30 s\n"
        "  a frozen desk   --stall-after 5000: after 5 s nothing is read or answered; Pexlora says the "
        "console\n"
        "                  is not answering within 20 s, and answers again once the simulator is restarted\n"
        "  live levels     --sacn 127.0.0.1, then type Chan 1 Thru 5 At 75 here: slots 1-5 of universe 1\n"
        "                  read 191"));
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
        QStringLiteral("TCP framing: length (OSC 1.0, the default) or slip (OSC 1.1); anything else closes "
                       "the connection."),
        QStringLiteral("framing"), QStringLiteral("length"));
    const QCommandLineOption patch(QStringLiteral("patch"),
                                   QStringLiteral("Patched channels (default 1-48,101-110)."),
                                   QStringLiteral("list"), QStringLiteral("1-48,101-110"));
    const QCommandLineOption groups(
        QStringLiteral("groups"),
        QStringLiteral("Groups at start: \"12=1-3,7:Front wash;13=21 > 24\" (number=channels[:label];...)."),
        QStringLiteral("list"));
    const QCommandLineOption noSetChans(
        QStringLiteral("no-set-chans"),
        QStringLiteral("Ignore /eos/set/group/<n>/chans, as a desk whose dictionary lacks it."));
    const QCommandLineOption oscUser(
        QStringLiteral("osc-user"),
        QStringLiteral("The user plain /eos/cmd and the like act as (default 1)."), QStringLiteral("user"),
        QStringLiteral("1"));
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
    const QCommandLineOption sacn(
        QStringLiteral("sacn"),
        QStringLiteral("Send the levels as sACN to this IPv4 address, or to each universe's multicast group "
                       "239.255.<high>.<low> with the word multicast (default: no sACN)."),
        QStringLiteral("address"));
    const QCommandLineOption sacnPort(QStringLiteral("sacn-port"),
                                      QStringLiteral("UDP port the sACN goes to (default 5568)."),
                                      QStringLiteral("port"), QStringLiteral("5568"));
    parser.addOptions({address, tcpPort, discoveryAddress, discoveryPort, name, framing, patch, groups,
                       noSetChans, oscUser, silent, dropAfter, stallAfter, losePatchReply, sacn, sacnPort});
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
    const auto startGroups = pexlora::sim::parseGroups(parser.value(groups).toStdString());
    const auto user = millisecondsOption(parser, oscUser);
    if (!chosenFraming || !channels || !startGroups || !user || *user > 99 || !drop || !stallMs || !lose) {
        printLine("pexlora-console-sim: invalid --framing, --patch, --groups, --osc-user, --drop-after, "
                  "--stall-after or --lose-patch-reply (see --help)");
        return 2;
    }
    options.framing = *chosenFraming;
    options.show = {"Pexlora demo", pexlora::sim::rigPatch(*channels), *startGroups};
    options.desk.oscUser = *user;
    options.desk.setChans = !parser.isSet(noSetChans);
    options.silent = parser.isSet(silent);
    if (*drop >= 0)
        options.dropAfterMs = *drop;
    if (*stallMs >= 0)
        options.stallAfterMs = *stallMs;
    if (*lose >= 0)
        options.desk.losePatchReply = *lose;
    if (parser.isSet(sacn)) {
        const auto port = portOption(parser, sacnPort);
        options.sacn = port && *port != 0 ? sacnOption(parser.value(sacn), *port) : std::nullopt;
        if (!options.sacn) {
            printLine("pexlora-console-sim: invalid --sacn or --sacn-port: an IPv4 address or multicast, and "
                      "a port 1-65535 (see --help)");
            return 2;
        }
    }

    pexlora::sim::ConsoleSimulator simulator(options);
    if (const auto started = simulator.start(); !started.ok()) {
        printLine("pexlora-console-sim: " + started.error());
        return 1;
    }
    pexlora::sim::SimulatorInput input;
    QObject::connect(&input, &pexlora::sim::SimulatorInput::lineEntered, &simulator,
                     [&simulator](const std::string& line) {
                         if (line.empty())
                             return;
                         if (!pexlora::sim::isShowCommand(line)) {
                             simulator.type(line);
                             return;
                         }
                         auto show = pexlora::sim::showFromCommand(line);
                         if (show.ok())
                             simulator.loadShow(std::move(show).value());
                         else
                             printLine("pexlora-console-sim: " + show.error());
                     });
    pexlora::sim::SimulatorQuit quit;
    QObject::connect(&quit, &pexlora::sim::SimulatorQuit::requested, &app, &QCoreApplication::quit);
    const int status = app.exec();
    simulator.stop();
    return status;
}
