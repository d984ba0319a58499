// SPDX-License-Identifier: GPL-3.0-or-later
// Two real Pexlora processes in one session: the later one hands its files to the
// one running and ends. Each test has a runtime folder of its own, so it never
// meets the user's Pexlora or another test's.
#include "app/shell/SingleInstance.h"

#include "AppTestSupport.h"
#include "model/PexloraDocument.h"

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace pexlora {
namespace {

using namespace Qt::StringLiterals;

class TwoProcesses : public ::testing::Test {
protected:
    QString savedRig(const QString& name) {
        PexloraDocument document;
        const GridPosition cells[] = {{0, 0}, {1, 0}};
        document.viewModel()->placeElements(cells);
        const QString path = files.filePath(name);
        EXPECT_TRUE(document.save(path).ok());
        return path;
    }

    // The real program, in this test's session, with the event loop of the test
    // running meanwhile (the instance it talks to may be this process).
    void start(QProcess& process, const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
        environment.insert(u"XDG_DATA_HOME"_s, data.path());
        environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(files.path());
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(QString::fromUtf8(PEXLORA_PROGRAM), arguments);
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    int run(const QStringList& arguments) {
        QProcess process;
        start(process, arguments);
        if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QList<DocumentWindow*> openWindows() const {
        QList<DocumentWindow*> open;
        for (const QPointer<DocumentWindow>& window : fixture.app->windows())
            if (window)
                open.append(window);
        return open;
    }

    QTemporaryDir runtime;
    QTemporaryDir data;
    QTemporaryDir files;
    test::AppFixture fixture;
};

TEST_F(TwoProcesses, TheSecondHandsItsFilesToTheFirstWhichOpensOrRaisesThem) {
    SingleInstance first(runtime.path());
    ASSERT_EQ(first.claim({}), SingleInstance::Claim::primary);
    ASSERT_TRUE(first.listenError().isEmpty()) << first.listenError().toStdString();
    QObject::connect(&first, &SingleInstance::pathsReceived, fixture.app.get(), &PexloraApp::openPaths);
    const QString rig = savedRig(u"rig.pexlora"_s);
    const QString plot = savedRig(u"plot with spaces.pexlora"_s);

    // Relative to the second process's own folder.
    EXPECT_EQ(run({u"rig.pexlora"_s}), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return openWindows().size() == 1; }, 10000));
    DocumentWindow* window = openWindows().front();
    EXPECT_EQ(window->filePath(), rig);

    // The same file again: no second window, and the first comes up from the task bar.
    window->setWindowState(Qt::WindowMinimized);
    EXPECT_EQ(run({rig}), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !(window->windowState() & Qt::WindowMinimized); }, 10000));
    EXPECT_EQ(openWindows().size(), 1);

    EXPECT_EQ(run({plot, rig}), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return openWindows().size() == 2; }, 10000));
    EXPECT_EQ(openWindows().back()->filePath(), plot);
}

TEST_F(TwoProcesses, ASocketLeftByACrashedInstanceIsReplaced) {
    SingleInstance names(runtime.path());
    const QByteArray socketPath = QFile::encodeName(names.socketPath());
    // What a killed instance leaves: a socket file nobody listens on.
    const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), qsizetype(sizeof(address.sun_path)));
    std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
    ASSERT_EQ(::bind(stale, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ::close(stale);
    ASSERT_TRUE(QFile::exists(names.socketPath()));

    QProcess first;
    start(first, {});
    const auto listening = [&] {
        QLocalSocket probe;
        probe.connectToServer(names.socketPath());
        return probe.waitForConnected(100);
    };
    EXPECT_TRUE(QTest::qWaitFor(listening, 30000));
    // The second would stay open with a window of its own if it had not handed over.
    EXPECT_EQ(run({savedRig(u"rig.pexlora"_s)}), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.terminate();
    EXPECT_TRUE(first.waitForFinished(30000));
}

// Where the socket could be another user's to take, there is no hand-over at all:
// a folder others may enter, or a link, is never used, nor is a shared name beside it.
TEST(SingleInstanceFolder, OnlyAFolderOfTheUsersAloneHoldsTheSocket) {
    QTemporaryDir base;
    const QString open = base.filePath(u"open"_s);
    const QString link = base.filePath(u"link"_s);
    const QString made = base.filePath(u"made"_s);
    ASSERT_TRUE(QDir().mkdir(open, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                       QFile::ExeOther));
    ASSERT_TRUE(QFile::link(base.path(), link));
    for (const QString& folder : {open, link}) {
        SingleInstance instance(folder);
        EXPECT_EQ(instance.claim({}), SingleInstance::Claim::primary);
        EXPECT_FALSE(instance.listenError().isEmpty()) << folder.toStdString();
        EXPECT_TRUE(instance.socketPath().isEmpty());
        EXPECT_TRUE(QDir(folder).entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot).isEmpty());
    }
    // A folder that is not there yet is made the user's alone.
    SingleInstance instance(made);
    EXPECT_EQ(instance.claim({}), SingleInstance::Claim::primary);
    EXPECT_TRUE(instance.listenError().isEmpty()) << instance.listenError().toStdString();
    EXPECT_EQ(QFileInfo(made).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
}

// Connections that say nothing are capped and closed, and a hand-over gets through after.
TEST_F(TwoProcesses, SilentConnectionsAreCappedAndClosed) {
    SingleInstance first(runtime.path());
    ASSERT_EQ(first.claim({}), SingleInstance::Claim::primary);
    QObject::connect(&first, &SingleInstance::pathsReceived, fixture.app.get(), &PexloraApp::openPaths);
    std::vector<std::unique_ptr<QLocalSocket>> silent;
    for (qsizetype i = 0; i < SingleInstance::maximumConnections + 4; ++i) {
        silent.push_back(std::make_unique<QLocalSocket>());
        silent.back()->connectToServer(first.socketPath());
        ASSERT_TRUE(silent.back()->waitForConnected(2000));
    }
    const auto stillOpen = [&] {
        return std::count_if(silent.begin(), silent.end(), [](const auto& socket) {
            return socket->state() == QLocalSocket::ConnectedState;
        });
    };
    EXPECT_TRUE(QTest::qWaitFor([&] { return stillOpen() == SingleInstance::maximumConnections; }, 10000))
        << stillOpen();
    EXPECT_TRUE(QTest::qWaitFor([&] { return stillOpen() == 0; }, 10000)) << stillOpen();
    EXPECT_EQ(run({savedRig(u"rig.pexlora"_s)}), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return openWindows().size() == 1; }, 10000));
}

} // namespace
} // namespace pexlora
