// SPDX-License-Identifier: GPL-3.0-or-later
// The connection manager's states against fake links and a fake clock: which framing it
// tries when, what the window is shown, when it retries and what it sends.
#include "EosTestSupport.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosGroupRecorder.h"
#include "eos/EosPatchDirectory.h"
#include "eos/EosPatchImport.h"
#include "osc/OSCPacketDecoder.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>
#include <QVariantMap>
#include <gtest/gtest.h>
#include <ostream>

namespace pexlora {
namespace {

using namespace test;

// Opens nothing: the test says when it is ready, what it hears and when it ends.
class FakeLink final : public EosLink {
public:
    explicit FakeLink(EosFraming framing)
        : m_framing(framing) {}
    EosFraming framing() const override { return m_framing; }
    void open(const QString& host, std::uint16_t port) override {
        openedTo = host + QLatin1Char(':') + QString::number(port);
    }
    void write(std::span<const std::uint8_t> packet) override {
        const auto decoded = decodeOSCPacket(packet);
        const OSCMessage* message = decoded.ok() && decoded.value() ? decoded.value()->message() : nullptr;
        written.push_back(message ? std::string(message->addressPattern.rawAddress()) : "undecodable");
        if (message)
            sent.push_back(*message);
    }
    void close() override {}

    QString openedTo;
    std::vector<std::string> written;
    std::vector<OSCMessage> sent;

private:
    EosFraming m_framing;
};

// What the window is shown, the framings of every link opened so far, and the timers pending.
struct Seen {
    EosConsoleHealth health = EosConsoleHealth::offline;
    std::optional<EosFraming> framing; // none while down
    std::vector<EosFraming> links;
    std::vector<std::chrono::milliseconds> timers;

    friend bool operator==(const Seen&, const Seen&) = default;
};

void PrintTo(const Seen& seen, std::ostream* out) {
    *out << "health " << static_cast<int>(seen.health) << ", framing "
         << (seen.framing ? static_cast<int>(*seen.framing) : -1) << ", links";
    for (const EosFraming framing : seen.links)
        *out << ' ' << static_cast<int>(framing);
    *out << ", timers";
    for (const auto timer : seen.timers)
        *out << ' ' << timer.count();
}

class LinkStates : public testing::Test {
protected:
    ~LinkStates() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    std::unique_ptr<EosConnectionManager> makeManager(EosFramingChoice choice,
                                                      std::optional<EosFraming> remembered = {},
                                                      bool readsShowData = false) {
        EosConnectionConfig config;
        config.clock = clock;
        config.readsShowData = readsShowData;
        config.discovery.listenPort = 0;
        config.discovery.destinations = [] { return std::vector<QString>{}; };
        config.discovery.clock = std::make_shared<FakeClock>();
        config.makeLink = [this](EosFraming framing) {
            auto link = std::make_unique<FakeLink>(framing);
            links.emplace_back(link.get());
            framings.push_back(framing);
            return link;
        };
        config.settings =
            std::make_unique<QSettings>(m_dir.filePath(QStringLiteral("Pexlora.conf")), QSettings::IniFormat);
        config.settings->clear();
        config.settings->setValue(eosFramingKey, framingChoiceKey(choice));
        if (remembered)
            config.settings->setValue(
                QStringLiteral("eosFramingByConsole"),
                QVariantMap{{QStringLiteral("console:3037"), *remembered == EosFraming::slip
                                                                 ? QStringLiteral("slip")
                                                                 : QStringLiteral("length")}});
        links.clear();
        framings.clear();
        return std::make_unique<EosConnectionManager>(std::move(config));
    }
    FakeLink& current() { return *links.back(); }
    Seen seen(const EosConnectionManager& manager) const {
        return {manager.health(), manager.framing(), framings, clock->pendingDelays()};
    }

    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::vector<QPointer<FakeLink>> links;
    std::vector<EosFraming> framings;

private:
    QTemporaryDir m_dir;
};

enum class Event { ready, ended, answer, wait, userConnects, userDisconnects };
struct Step {
    Event event;
    std::chrono::milliseconds wait{0};
    Seen then;
};
Step on(Event event, Seen then) {
    return {event, 0ms, std::move(then)};
}
Step after(std::chrono::milliseconds wait, Seen then) {
    return {Event::wait, wait, std::move(then)};
}

TEST_F(LinkStates, FollowTheTableOfEventsFromConnectingToAnsweringSilentAndRetrying) {
    using enum EosConsoleHealth;
    constexpr auto slip = EosFraming::slip;
    constexpr auto length = EosFraming::length;
    constexpr std::nullopt_t down = std::nullopt;
    struct Script {
        const char* name;
        EosFramingChoice choice;
        std::optional<EosFraming> remembered;
        std::vector<Step> steps;
    };
    const std::vector<Script> scripts = {
        {"nobody answers: SLIP, length, then SLIP kept, never dropped",
         EosFramingChoice::automatic,
         {},
         {on(Event::ready, {settling, slip, {slip}, {2s, 5s, 5s}}),
          after(2s, {settling, slip, {slip, length}, {3s}}),
          on(Event::ready, {settling, length, {slip, length}, {2s, 3s, 5s}}),
          after(2s, {settling, length, {slip, length, slip}, {1s}}),
          on(Event::ready, {silent, slip, {slip, length, slip}, {1s, 5s}}),
          after(60s, {silent, slip, {slip, length, slip}, {5s}}),
          on(Event::answer, {answering, slip, {slip, length, slip}, {5s}})}},
        {"the desk closes on a framing it cannot read; the one answered comes first next time",
         EosFramingChoice::automatic,
         {},
         {on(Event::ready, {settling, slip, {slip}, {2s, 5s, 5s}}),
          on(Event::ended, {settling, slip, {slip, length}, {5s}}),
          on(Event::ready, {settling, length, {slip, length}, {2s, 5s, 5s}}),
          on(Event::answer, {answering, length, {slip, length}, {5s, 5s}}),
          on(Event::userConnects, {offline, down, {slip, length, length}, {}})}},
        {"a close of the last resort before any answer is a failure",
         EosFramingChoice::automatic,
         {length},
         {on(Event::ready, {settling, length, {length}, {2s, 5s, 5s}}),
          on(Event::ended, {settling, length, {length, slip}, {5s}}),
          on(Event::ready, {settling, slip, {length, slip}, {2s, 5s, 5s}}),
          on(Event::ended, {offline, down, {length, slip}, {3s}})}},
        {"an answering console that falls silent is gone until it answers again",
         EosFramingChoice::automatic,
         {},
         {on(Event::ready, {settling, slip, {slip}, {2s, 5s, 5s}}),
          on(Event::answer, {answering, slip, {slip}, {5s, 5s}}), after(5s, {answering, slip, {slip}, {5s}}),
          after(10s, {gone, down, {slip}, {3s}}), after(3s, {gone, down, {slip, slip}, {}}),
          on(Event::ready, {gone, slip, {slip, slip}, {2s, 5s, 5s}}),
          after(2s, {gone, slip, {slip, slip, length}, {3s}}),
          on(Event::ready, {gone, length, {slip, slip, length}, {2s, 3s, 5s}}),
          after(2s, {gone, down, {slip, slip, length}, {6s}}),
          after(6s, {gone, down, {slip, slip, length, slip}, {}}),
          on(Event::ready, {gone, slip, {slip, slip, length, slip}, {2s, 5s, 5s}}),
          on(Event::answer, {answering, slip, {slip, slip, length, slip}, {5s, 5s}})}},
        {"refused again and again, then connected by the user: the back-off starts afresh",
         EosFramingChoice::automatic,
         {},
         {on(Event::ended, {offline, down, {slip}, {3s}}), after(3s, {offline, down, {slip, slip}, {}}),
          on(Event::ended, {offline, down, {slip, slip}, {6s}}),
          on(Event::userConnects, {offline, down, {slip, slip, slip}, {}}),
          on(Event::ended, {offline, down, {slip, slip, slip}, {3s}})}},
        {"disconnected, whether retrying or up, nothing is tried again",
         EosFramingChoice::automatic,
         {},
         {on(Event::ended, {offline, down, {slip}, {3s}}),
          on(Event::userDisconnects, {offline, down, {slip}, {}}), after(120s, {offline, down, {slip}, {}}),
          on(Event::userConnects, {offline, down, {slip, slip}, {}}),
          on(Event::ready, {settling, slip, {slip, slip}, {2s, 5s, 5s}}),
          on(Event::answer, {answering, slip, {slip, slip}, {5s, 5s}}),
          on(Event::userDisconnects, {offline, down, {slip, slip}, {}}),
          after(120s, {offline, down, {slip, slip}, {}})}},
        {"the user connecting again forgets the silence and the back-off",
         EosFramingChoice::automatic,
         {},
         {on(Event::ready, {settling, slip, {slip}, {2s, 5s, 5s}}),
          on(Event::answer, {answering, slip, {slip}, {5s, 5s}}), after(15s, {gone, down, {slip}, {3s}}),
          on(Event::userConnects, {offline, down, {slip, slip}, {}}),
          on(Event::ended, {offline, down, {slip, slip}, {3s}}),
          on(Event::userDisconnects, {offline, down, {slip, slip}, {}})}},
        {"SLIP chosen: one framing, kept unanswered",
         EosFramingChoice::slip,
         {length},
         {on(Event::ready, {settling, slip, {slip}, {2s, 5s, 5s}}),
          after(2s, {silent, slip, {slip}, {3s, 3s}})}},
        {"length chosen: a close is a failure, and the retry is in length again",
         EosFramingChoice::length,
         {},
         {on(Event::ready, {settling, length, {length}, {2s, 5s, 5s}}),
          on(Event::ended, {offline, down, {length}, {3s}}),
          after(3s, {offline, down, {length, length}, {}})}},
        {"refused again and again: the back-off grows",
         EosFramingChoice::automatic,
         {},
         {on(Event::ended, {offline, down, {slip}, {3s}}), after(3s, {offline, down, {slip, slip}, {}}),
          on(Event::ended, {offline, down, {slip, slip}, {6s}}),
          after(6s, {offline, down, {slip, slip, slip}, {}}),
          on(Event::ended, {offline, down, {slip, slip, slip}, {12s}})}},
        {"a link up five seconds starts the back-off again; one that ends sooner does not",
         EosFramingChoice::automatic,
         {},
         {on(Event::ready, {settling, slip, {slip}, {2s, 5s, 5s}}),
          on(Event::answer, {answering, slip, {slip}, {5s, 5s}}), after(5s, {answering, slip, {slip}, {5s}}),
          on(Event::ended, {offline, down, {slip}, {3s}}), after(3s, {offline, down, {slip, slip}, {}}),
          on(Event::ready, {settling, slip, {slip, slip}, {2s, 5s, 5s}}),
          on(Event::ended, {settling, slip, {slip, slip, length}, {5s}}),
          on(Event::ended, {offline, down, {slip, slip, length}, {6s}})}},
    };
    for (const Script& script : scripts) {
        SCOPED_TRACE(script.name);
        auto manager = makeManager(script.choice, script.remembered);
        manager->connectToConsole(QStringLiteral(" console "), 3037);
        ASSERT_EQ(current().openedTo, QStringLiteral("console:3037"));
        bool disconnected = false;
        for (std::size_t i = 0; i < script.steps.size(); ++i) {
            const Step& step = script.steps[i];
            switch (step.event) {
            case Event::ready:
                emit current().ready();
                break;
            case Event::ended:
                emit current().ended({});
                break;
            case Event::answer:
                emit current().messageReceived(OSCMessage("/eos/out/ping", {}));
                break;
            case Event::wait:
                clock->advance(step.wait);
                break;
            case Event::userConnects:
                disconnected = false;
                manager->connectToConsole(QStringLiteral("console"), 3037);
                break;
            case Event::userDisconnects:
                disconnected = true;
                manager->disconnectFromConsole();
                break;
            }
            EXPECT_EQ(seen(*manager), step.then) << "after step " << i;
            EXPECT_EQ(manager->isConnected(), step.then.framing.has_value()) << "after step " << i;
            EXPECT_EQ(manager->connectedIP(),
                      manager->isConnected() ? std::optional(QStringLiteral("console")) : std::nullopt);
            EXPECT_EQ(manager->connectionTarget().has_value(), !disconnected);
        }
    }
}

// One thing that happens to the link: `failure` goes with Event::ended.
struct Happening {
    Event event;
    std::chrono::milliseconds wait{0};
    EosLinkFailure failure;
};
Happening endsFor(EosLinkFailure::Kind kind, std::chrono::milliseconds waited = 0ms) {
    return {Event::ended, 0ms, {kind, {}, waited}};
}
Happening happens(Event event) {
    return {event, 0ms, {}};
}
Happening waits(std::chrono::milliseconds wait) {
    return {Event::wait, wait, {}};
}

TEST_F(LinkStates, ARetryKeepsWhyTheLinkFailedAndWhenItIsTriedAgain) {
    using Kind = EosLinkFailure::Kind;
    const EosLinkFailure closed{Kind::closedByConsole, {}, 0ms};
    const EosLinkFailure refused{Kind::refused, {}, 0ms};
    const EosLinkFailure silent{Kind::stoppedAnswering, {}, 0ms};
    const struct {
        const char* name;
        EosFramingChoice choice;
        std::vector<Happening> happenings;
        std::optional<EosLinkFailure> failure;
        std::optional<std::chrono::milliseconds> retryIn;
    } table[] = {
        {"refused", EosFramingChoice::automatic, {endsFor(Kind::refused)}, refused, 3s},
        {"no such host",
         EosFramingChoice::automatic,
         {endsFor(Kind::hostNotFound)},
         EosLinkFailure{Kind::hostNotFound, {}, 0ms},
         3s},
        {"no answer to the connect",
         EosFramingChoice::automatic,
         {endsFor(Kind::timedOut, 10s)},
         EosLinkFailure{Kind::timedOut, {}, 10s},
         3s},
        {"the socket's own words",
         EosFramingChoice::automatic,
         {{Event::ended, 0ms, {Kind::other, QStringLiteral("Network unreachable"), 0ms}}},
         EosLinkFailure{Kind::other, QStringLiteral("Network unreachable"), 0ms},
         3s},
        {"closed by the console once answering",
         EosFramingChoice::length,
         {happens(Event::ready), happens(Event::answer), endsFor(Kind::closedByConsole)},
         closed,
         3s},
        {"closed in one framing, refused in the next: the last is told",
         EosFramingChoice::automatic,
         {happens(Event::ready), endsFor(Kind::unreadable), endsFor(Kind::refused)},
         refused,
         3s},
        {"answered, then silent",
         EosFramingChoice::automatic,
         {happens(Event::ready), happens(Event::answer), waits(15s)},
         silent,
         3s},
        {"silent, and no framing answered on the retry",
         EosFramingChoice::automatic,
         {happens(Event::ready), happens(Event::answer), waits(18s), happens(Event::ready), waits(2s),
          happens(Event::ready), waits(2s)},
         silent,
         6s},
        {"the countdown runs on the link's clock",
         EosFramingChoice::automatic,
         {endsFor(Kind::refused), waits(1200ms)},
         refused,
         1800ms},
        {"a retry under way still says why",
         EosFramingChoice::automatic,
         {endsFor(Kind::refused), waits(3s)},
         refused,
         std::nullopt},
        {"a retry that comes up forgets it",
         EosFramingChoice::automatic,
         {endsFor(Kind::refused), waits(3s), happens(Event::ready)},
         std::nullopt,
         std::nullopt},
        {"so does the user's connect",
         EosFramingChoice::automatic,
         {endsFor(Kind::refused), happens(Event::userConnects)},
         std::nullopt,
         std::nullopt},
        {"and disconnecting",
         EosFramingChoice::automatic,
         {endsFor(Kind::refused), happens(Event::userDisconnects), waits(60s)},
         std::nullopt,
         std::nullopt},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        auto manager = makeManager(row.choice);
        manager->connectToConsole(QStringLiteral("console"), 3032);
        for (const Happening& happening : row.happenings) {
            switch (happening.event) {
            case Event::ready:
                emit current().ready();
                break;
            case Event::ended:
                emit current().ended(happening.failure);
                break;
            case Event::answer:
                emit current().messageReceived(OSCMessage("/eos/out/ping", {}));
                break;
            case Event::wait:
                clock->advance(happening.wait);
                break;
            case Event::userConnects:
                manager->connectToConsole(QStringLiteral("console"), 3032);
                break;
            case Event::userDisconnects:
                manager->disconnectFromConsole();
                break;
            }
        }
        EXPECT_EQ(manager->lastFailure(), row.failure);
        EXPECT_EQ(manager->timeToRetry(), row.retryIn);
    }
}

TEST_F(LinkStates, MessagesWaitForTheFramingAndGoOnlyOnALinkThatIsUp) {
    auto manager = makeManager(EosFramingChoice::automatic);
    manager->send(QStringLiteral("/before"), QStringLiteral("connect"));
    manager->connectToConsole(QStringLiteral("console"), 3037);
    manager->send(QStringLiteral("/while"), QStringLiteral("connecting"));
    emit current().ready();
    manager->send(QStringLiteral("/held"), QStringLiteral("1"));
    clock->advance(2s); // the other framing: what waits goes on waiting
    manager->send(QStringLiteral("/held"), QStringLiteral("2"));
    emit current().ready();
    EXPECT_EQ(current().written, (std::vector<std::string>{"/eos/ping", "/eos/get/version"}));
    emit current().messageReceived(OSCMessage("/eos/out/get/version", {"3.2.0"}));
    manager->send(QStringLiteral("/after"), QStringLiteral("answer"));
    EXPECT_EQ(current().written,
              (std::vector<std::string>{"/eos/ping", "/eos/get/version", "/held", "/held", "/after"}));
    ASSERT_TRUE(links.front());
    EXPECT_EQ(links.front()->written, (std::vector<std::string>{"/eos/ping", "/eos/get/version"}));

    // A chosen framing is not waited for; what a failed link held is dropped.
    manager->setFramingChoice(EosFramingChoice::length);
    emit current().ready();
    manager->send(QStringLiteral("/chosen"), QStringLiteral("length"));
    EXPECT_EQ(current().framing(), EosFraming::length);
    EXPECT_EQ(current().written, (std::vector<std::string>{"/eos/ping", "/eos/get/version", "/chosen"}));
    manager->setFramingChoice(EosFramingChoice::automatic);
    emit current().ready();
    manager->send(QStringLiteral("/lost"), QStringLiteral("with the link"));
    emit current().ended({}); // the first framing tried; the next one opens
    emit current().ended({}); // and fails before it is up
    clock->advance(3s);
    emit current().ready();
    emit current().messageReceived(OSCMessage("/eos/out/ping", {}));
    EXPECT_EQ(current().written, (std::vector<std::string>{"/eos/ping", "/eos/get/version"}));
}

TEST_F(LinkStates, ALinkReplacedByTheUserIsNotHeardAgain) {
    auto manager = makeManager(EosFramingChoice::slip);
    manager->connectToConsole(QStringLiteral("console"), 3037);
    const QPointer<FakeLink> first = links.back();
    manager->connectToConsole(QStringLiteral("console"), 3037);
    ASSERT_TRUE(first);
    emit first->ended({});
    emit first->ready();
    EXPECT_FALSE(manager->isConnected());
    EXPECT_TRUE(clock->pendingDelays().empty()) << "no retry for the replaced link";
    emit current().ready();
    EXPECT_EQ(manager->health(), EosConsoleHealth::settling);
}

TEST_F(LinkStates, ARecordingWaitsForTheDeskAndIsConfirmedByReadingTheGroupBack) {
    auto manager = makeManager(EosFramingChoice::automatic, {}, true);
    const auto report = [&] { return manager->recorder().report().text.toStdString(); };
    const auto record = [&](const char* number, const char* channels) {
        const QStringList list = QString::fromLatin1(channels).split(u' ');
        manager->recorder().record(QString::fromLatin1(number), list, list.join(u' '));
    };
    const auto deskHolds = [&](const char* number, std::vector<OSCValue> channels) {
        const std::string group = std::string("/eos/out/get/group/") + number;
        emit current().messageReceived(OSCMessage(OSCAddressPattern(group), {-1, "uid", "label"}));
        OSCValues values{-1, "uid"};
        for (const OSCValue& channel : channels)
            values.push_back(channel);
        emit current().messageReceived(OSCMessage(OSCAddressPattern(group + "/channels"), std::move(values)));
    };
    record("12", "1 2 3");
    EXPECT_EQ(report(), "Not recorded: no console connected");

    // Pressed while the link settles: sent once the desk answers, then read back.
    manager->connectToConsole(QStringLiteral("console"), 3032);
    emit current().ready();
    record("12", "1 2 3");
    EXPECT_EQ(report(), "Waiting for the desk to record group 12…");
    emit current().messageReceived(OSCMessage("/eos/out/ping", {}));
    const std::vector<std::string> sent = {"/eos/user/91/newcmd", "/eos/user/91/newcmd", "/eos/set/group/12/chans",
                                           "/eos/get/group/12"};
    EXPECT_NE(std::search(current().written.begin(), current().written.end(), sent.begin(), sent.end()),
              current().written.end());
    EXPECT_EQ(report(), "Recording group 12…");
    deskHolds("12", {"1-3"});
    EXPECT_EQ(report(), "Group 12 recorded: 3 channels");

    const struct {
        const char* number;
        const char* channels;
        std::vector<OSCValue> held; // none: the desk does not answer
        const char* report;
    } table[] = {
        {"13", "4 5", {"1-5"}, "The desk's group 13 holds 1-5, not the 2 channels sent"},
        {"14", "3 2 1", {1, 2, 3}, "The desk's group 14 holds 1-3, not the 3 channels sent"},
        {"15.5", "9", {9}, "Group 15.5 recorded: 1 channel"},
        {"16", "7", {}, "Sent; the desk did not answer for group 16"},
    };
    for (const auto& row : table) {
        record(row.number, row.channels);
        if (!row.held.empty())
            deskHolds(row.number, row.held);
        clock->advance(3s);
        emit current().messageReceived(OSCMessage("/eos/out/ping", {}));
        EXPECT_EQ(report(), row.report);
    }

    // The link lost while the desk's answer is awaited: told as unanswered.
    record("18", "1");
    emit current().ended({});
    EXPECT_EQ(report(), "Sent; the desk did not answer for group 18");

    // A desk that stays away: the recording is given up, and said to be.
    record("17", "1");
    EXPECT_EQ(report(), "Waiting for the desk to record group 17…");
    clock->advance(10s);
    EXPECT_EQ(report(), "Not recorded: the desk did not answer within 10 s");
}

// Split lists are recorded part by part, as they crossed the wire, while the program
// hears them joined; nothing is recorded once the log is taken away.
TEST_F(LinkStates, TrafficIsRecordedBothWaysWhileALogIsAttached) {
    auto manager = makeManager(EosFramingChoice::slip);
    EosTrafficLog log;
    manager->setTrafficLog(&log);
    int heard = 0;
    QObject::connect(manager.get(), &EosConnectionManager::messageReceived, [&] { ++heard; });
    manager->connectToConsole(QStringLiteral("console"), 3032);
    emit current().ready();
    clock->advance(250ms);
    emit current().messageReceived(OSCMessage("/eos/out/get/patch/7/1/list/0/5", {6, "uid"}));
    emit current().messageReceived(OSCMessage("/eos/out/get/patch/7/1/list/2/5", {"label", "Dimmer", 7}));
    manager->send(QStringLiteral("/eos/cmd"), QStringLiteral("Chan 7"));
    EXPECT_EQ(heard, 1) << "the list is heard once, joined";

    using enum EosTrafficDirection;
    const struct {
        EosTrafficDirection direction;
        const char* address;
        const char* arguments;
        std::chrono::milliseconds time;
    } expected[] = {
        {out, "/eos/ping", "", 0ms},
        {out, "/eos/get/version", "", 0ms},
        {in, "/eos/out/get/patch/7/1/list/0/5", R"(6, "uid")", 250ms},
        {in, "/eos/out/get/patch/7/1/list/2/5", R"("label", "Dimmer", 7)", 250ms},
        {out, "/eos/cmd", R"("Chan 7")", 250ms},
    };
    ASSERT_EQ(log.size(), std::size(expected));
    for (std::size_t i = 0; i < log.size(); ++i) {
        EXPECT_EQ(log.at(i).direction, expected[i].direction) << i;
        EXPECT_EQ(log.at(i).address.toStdString(), expected[i].address) << i;
        EXPECT_EQ(log.at(i).arguments.toStdString(), expected[i].arguments) << i;
        EXPECT_EQ(log.at(i).time, expected[i].time) << i;
    }

    manager->setTrafficLog(nullptr);
    manager->send(QStringLiteral("/eos/cmd"), QStringLiteral("Chan 8"));
    emit current().messageReceived(OSCMessage("/eos/out/ping", {}));
    EXPECT_EQ(log.recorded(), std::size(expected));
}

} // namespace
} // namespace pexlora

namespace pexlora {
namespace {

OSCMessage patchEntry(int channel, int index, const char* label) {
    return OSCMessage(OSCAddressPattern("/eos/out/get/patch/" + std::to_string(channel) + "/1"),
                      {index, "UID", label, "ETC", "Source Four", channel, channel});
}

TEST_F(LinkStates, ThePatchFollowsTheChannelsTheDeskSaysChangedAndKeepsWhatAnUnansweredReadAskedFor) {
    auto manager = makeManager(EosFramingChoice::length, {}, true);
    manager->connectToConsole(QStringLiteral("console"), 3032);
    emit current().ready();
    emit current().messageReceived(OSCMessage("/eos/out/get/version", {"3.2.0"}));
    const auto echo = [&] {
        // The closing ping of a read, answered as the desk answers every ping.
        const OSCMessage& ping = current().sent.back();
        ASSERT_EQ(ping.addressPattern.rawAddress(), "/eos/ping");
        ASSERT_EQ(ping.values.size(), 1u);
        emit current().messageReceived(OSCMessage("/eos/out/ping", {ping.values[0]}));
    };
    const auto labels = [&] {
        std::string told;
        for (const auto& [channel, parts] : manager->patch().channels())
            told += std::to_string(channel) + " " + parts.front().label.toStdString() + "; ";
        return told;
    };
    emit current().messageReceived(OSCMessage("/eos/out/get/patch/count", {2}));
    emit current().messageReceived(patchEntry(1, 0, "Front 1"));
    emit current().messageReceived(patchEntry(2, 1, "Front 2"));
    echo();
    ASSERT_TRUE(waitFor([&] { return manager->patch().status() == EosPatchDirectory::Status::ready; }));
    EXPECT_EQ(labels(), "1 Front 1; 2 Front 2; ");

    // Channel 1 relabelled, 2 unpatched, 3 patched: each told by its answer or its silence.
    emit current().messageReceived(OSCMessage("/eos/out/notify/patch", {7, "1-3"}));
    emit current().messageReceived(patchEntry(1, -1, "Key 1"));
    emit current().messageReceived(patchEntry(3, -1, "Back 3"));
    echo();
    EXPECT_EQ(labels(), "1 Key 1; 3 Back 3; ");

    // A read the desk never finishes takes nothing away.
    emit current().messageReceived(OSCMessage("/eos/out/notify/patch", {8, 1, 3}));
    clock->advance(EosPatchImport::replyTimeout);
    EXPECT_EQ(labels(), "1 Key 1; 3 Back 3; ");
}

} // namespace
} // namespace pexlora
