#pragma once

#include "app/DocumentDialogs.h"
#include "app/DocumentHistory.h"
#include "app/DocumentWindow.h"
#include "app/PexloraApp.h"
#include "eos/EosConnectionManager.h"
#include "eos/EosTestSupport.h"
#include "model/GridViewModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

namespace pexlora::test {

// The desktop's message boxes, but file pickers that answer from a script.
class ScriptedDialogs : public StandardDocumentDialogs {
public:
    std::deque<QStringList> openAnswers;
    std::deque<QString> saveAnswers;
    int savePickerCalls = 0;

    QStringList choosePathsToOpen(QWidget*, const QString&) override {
        if (openAnswers.empty())
            return {};
        QStringList answer = openAnswers.front();
        openAnswers.pop_front();
        return answer;
    }
    QString chooseSavePath(QWidget*, const QString&) override {
        ++savePickerCalls;
        if (saveAnswers.empty())
            return {};
        QString answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
};

// Answers the next message box that opens by clicking the button with the given
// text, and keeps what it said. Gives up after a few seconds, and when it goes
// out of scope, so a box that never came cannot be answered in a later test.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(QString buttonText)
        : m_button(std::move(buttonText)) {
        m_clock.start();
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

    bool answered() const { return m_answered; }
    const QString& text() const { return m_text; }
    const QString& informativeText() const { return m_informative; }
    const QStringList& buttons() const { return m_buttons; }
    const QString& defaultButton() const { return m_default; }

private:
    void poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (m_clock.elapsed() > 10000)
                m_timer.stop();
            return;
        }
        m_timer.stop();
        m_text = box->text();
        m_informative = box->informativeText();
        if (box->defaultButton())
            m_default = box->defaultButton()->text();
        for (QAbstractButton* button : box->buttons()) {
            m_buttons.append(button->text());
            if (button->text() == m_button) {
                m_answered = true;
                button->click();
            }
        }
        if (!m_answered)
            box->reject();
    }

    QString m_button;
    QTimer m_timer;
    QElapsedTimer m_clock;
    bool m_answered = false;
    QString m_text;
    QString m_informative;
    QStringList m_buttons;
    QString m_default;
};

// What the console link of a test is made with: settings in a file of their own,
// discovery that asks only a UDP socket of the test on loopback, and fake clocks,
// so that nothing reaches the user's settings or leaves the machine.
struct TestConsoleLink {
    QTemporaryDir settingsDir;
    std::shared_ptr<FakeClock> linkClock = std::make_shared<FakeClock>();
    std::shared_ptr<FakeClock> discoveryClock = std::make_shared<FakeClock>();
    UDPPeer discoveryConsole; // where discovery requests go

    QString settingsPath() const { return settingsDir.filePath(QStringLiteral("Pexlora.conf")); }
    EosConnectionConfig config(std::uint16_t broadcastPort = 0) const {
        EosConnectionConfig config;
        config.clock = linkClock;
        config.discovery.clock = discoveryClock;
        config.discovery.listenPort = 0;
        config.discovery.broadcastPort = broadcastPort != 0 ? broadcastPort : discoveryConsole.port();
        config.discovery.destinations = [] { return std::vector<QString>{QStringLiteral("127.0.0.1")}; };
        config.settings = std::make_unique<QSettings>(settingsPath(), QSettings::IniFormat);
        return config;
    }
};

// An application with scripted file pickers and a console link of the test's own;
// every window still open at the end is closed without questions.
class AppFixture {
public:
    explicit AppFixture(std::uint16_t discoveryPort = 0) {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        scripted = dialogs.get();
        app = std::make_unique<PexloraApp>(std::move(dialogs));
        app->setEosConnectionConfig(link.config(discoveryPort));
        app->setUrlOpener([this](const QUrl& url) {
            openedUrls.append(url);
            return true;
        });
    }
    ~AppFixture() {
        for (const QPointer<DocumentWindow>& window : app->windows())
            if (window) {
                window->history()->clear();
                window->close();
            }
        app.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    TestConsoleLink link;
    ScriptedDialogs* scripted = nullptr;
    std::unique_ptr<PexloraApp> app;
    QList<QUrl> openedUrls;
};

} // namespace pexlora::test
