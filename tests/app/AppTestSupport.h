#pragma once

#include "app/DocumentDialogs.h"
#include "app/DocumentWindow.h"
#include "app/PexloraApp.h"
#include "model/GridViewModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <deque>
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
};

// An application with scripted file pickers; every window still open at the end
// is closed without questions.
class AppFixture {
public:
    AppFixture() {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        scripted = dialogs.get();
        app = std::make_unique<PexloraApp>(std::move(dialogs));
        app->setUrlOpener([this](const QUrl& url) {
            openedUrls.append(url);
            return true;
        });
    }
    ~AppFixture() {
        for (const QPointer<DocumentWindow>& window : app->windows())
            if (window) {
                window->viewModel()->setDirty(false);
                window->close();
            }
        app.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    ScriptedDialogs* scripted = nullptr;
    std::unique_ptr<PexloraApp> app;
    QList<QUrl> openedUrls;
};

} // namespace pexlora::test
