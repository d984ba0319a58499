// Pexlora: a layout of console channels for an ETC Eos lighting console.
#include "app/DocumentWindow.h"
#include "app/FirstFrameExit.h"
#include "app/PexloraApp.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    pexlora::PexloraApp app;
    QApplication::setApplicationVersion(QStringLiteral(PEXLORA_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/org.pexlora.Pexlora.svg")));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QApplication::translate("main", "Lays out and selects Eos console channels."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"), QApplication::translate("main", "Layouts to open."),
                                 QStringLiteral("[files…]"));
    parser.process(application);

    app.start(parser.positionalArguments());
    // For the start-up benchmark: the whole way from process start to a painted window.
    if (qEnvironmentVariableIsSet("PEXLORA_EXIT_WHEN_SHOWN") && !app.windows().isEmpty())
        pexlora::FirstFrameExit::arm(app.windows().first());
    return QApplication::exec();
}
