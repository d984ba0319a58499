// SPDX-License-Identifier: GPL-3.0-or-later
// Pexlora: a layout of console channels for an ETC Eos lighting console.
#include "app/shell/ConsoleArgument.h"
#include "app/shell/FirstFrameExit.h"
#include "app/shell/HelpPage.h"
#include "app/shell/PexloraApp.h"
#include "app/shell/SingleInstance.h"
#include "app/window/DocumentWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <cstdio>
#include <memory>
#include <string_view>

namespace {

void complain(const QString& text) {
    std::fputs(qPrintable(QApplication::applicationName() + QStringLiteral(": ") + text + u'\n'), stderr);
}

// --version and --help print and end; they need no display.
bool onlyPrints(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "--")
            return false;
        if (argument == "-v" || argument == "--version" || argument == "-h" || argument == "--help" ||
            argument == "--help-all")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::unique_ptr<QCoreApplication> application = onlyPrints(argc, argv)
                                                              ? std::make_unique<QCoreApplication>(argc, argv)
                                                              : std::make_unique<QApplication>(argc, argv);
    pexlora::PexloraApp app;
    QApplication::setApplicationVersion(QStringLiteral(PEXLORA_VERSION));
    if (qobject_cast<QApplication*>(application.get()))
        QApplication::setWindowIcon(QIcon(QStringLiteral(":/org.pexlora.Pexlora.svg")));

    QCommandLineParser parser;
    QString description = QCoreApplication::translate("main", "Lays out and selects Eos console channels.");
    if (const QString help = pexlora::findHelpPage(QApplication::applicationDirPath()); !help.isEmpty())
        description += u'\n' + QCoreApplication::translate("main", "The help page: %1").arg(help);
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption console(
        QStringLiteral("console"),
        QCoreApplication::translate(
            "main",
            "Connects to the console at HOST[:PORT] for this run; the stored console stays as it is."),
        QStringLiteral("HOST[:PORT]"));
    parser.addOption(console);
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QCoreApplication::translate("main", "Layouts to open."),
                                 QStringLiteral("[files…]"));
    parser.process(*application);

    if (parser.isSet(console)) {
        const auto address = pexlora::parseConsoleArgument(parser.value(console));
        if (!address) {
            complain(QCoreApplication::translate("main", "“%1” is not a console address (HOST or HOST:PORT).")
                         .arg(parser.value(console)));
            return 2;
        }
        app.setStartConsole(*address);
    }

    QStringList paths;
    for (const QString& path : parser.positionalArguments())
        paths.append(QFileInfo(path).absoluteFilePath());
    pexlora::SingleInstance instance;
    switch (instance.claim(paths)) {
    case pexlora::SingleInstance::Claim::handedOver:
        if (parser.isSet(console))
            complain(QCoreApplication::translate("main",
                                                 "Pexlora is running already; it keeps the console it has."));
        return 0;
    case pexlora::SingleInstance::Claim::unanswered:
        complain(QCoreApplication::translate("main", "Pexlora is already running but does not answer."));
        return 1;
    case pexlora::SingleInstance::Claim::primary:
        if (!instance.listenError().isEmpty())
            complain(QCoreApplication::translate("main", "other Pexlora processes cannot reach this one: %1")
                         .arg(instance.listenError()));
        break;
    }
    QObject::connect(&instance, &pexlora::SingleInstance::pathsReceived, &app,
                     &pexlora::PexloraApp::openPaths);

    app.start(paths);
    // For the start-up benchmark: the whole way from process start to a painted window.
    if (qEnvironmentVariableIsSet("PEXLORA_EXIT_WHEN_SHOWN") && !app.windows().isEmpty())
        pexlora::FirstFrameExit::arm(app.windows().first());
    return QApplication::exec();
}
