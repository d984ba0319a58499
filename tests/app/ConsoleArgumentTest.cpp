// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/shell/ConsoleArgument.h"

#include "AppTestSupport.h"
#include "eos/EosSettings.h"

#include <gtest/gtest.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;

TEST(ConsoleArgument, ReadsHostAndOptionalPort) {
    struct Case {
        QString text;
        std::optional<EosConsoleAddress> address;
    };
    const Case cases[] = {
        {u"127.0.0.1:3038"_s, EosConsoleAddress{u"127.0.0.1"_s, 3038}},
        {u"console.local"_s, EosConsoleAddress{u"console.local"_s, 3038}},
        {u" 10.0.0.5:3032 "_s, EosConsoleAddress{u"10.0.0.5"_s, 3032}},
        {u"[::1]:4000"_s, EosConsoleAddress{u"::1"_s, 4000}},
        {u"[::1]"_s, EosConsoleAddress{u"::1"_s, 3038}},
        {u"fe80::1"_s, EosConsoleAddress{u"fe80::1"_s, 3038}},
        {u""_s, std::nullopt},
        {u":3038"_s, std::nullopt},
        {u"host:"_s, std::nullopt},
        {u"host:0"_s, std::nullopt},
        {u"host:65536"_s, std::nullopt},
        {u"host:+80"_s, std::nullopt},
        {u"host:port"_s, std::nullopt},
        {u"[::1"_s, std::nullopt},
        {u"[::1]4000"_s, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseConsoleArgument(c.text), c.address) << c.text.toStdString();
}

TEST(ConsoleArgument, TheStartConsoleIsUsedForTheRunAndTheStoredOneStays) {
    test::AppFixture fixture;
    fixture.app->setStartConsole({u"127.0.0.1"_s, 4321});
    {
        QSettings stored(fixture.link.settingsPath(), QSettings::IniFormat);
        stored.setValue(eosIPKey, u"10.1.1.1"_s);
        stored.setValue(eosPortKey, u"3037"_s);
    }
    EosConnectionManager& link = fixture.app->eosManager();
    EXPECT_EQ(link.connectionTarget(), (EosConsoleAddress{u"127.0.0.1"_s, 4321}));
    EXPECT_EQ(link.settings().value(eosIPKey).toString(), u"10.1.1.1"_s);
    EXPECT_EQ(link.settings().value(eosPortKey).toString(), u"3037"_s);
}

} // namespace
} // namespace pexlora
