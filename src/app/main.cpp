// Starts the program: the application object, the command line and the main
// window.
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "ui/main_window.h"
#include "ui/script_runner.h"

namespace {

struct CommandLine {
    QString project;
    QString script;
};

CommandLine parseCommandLine(QCoreApplication& app) {
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(QUILLMAP4_VERSION_MAJOR)
                                                .arg(QUILLMAP4_VERSION_MINOR)
                                                .arg(QUILLMAP4_VERSION_PATCH));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Traces land/water masks and vector terrain over an area picture and writes the "
        "assembler sources of a flight simulator's scenery."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption script(
        QStringLiteral("script"),
        QStringLiteral("Replays the window commands in <file>, one per line (for smoke tests)."),
        QStringLiteral("file"));
    parser.addOption(script);
    parser.addPositionalArgument(QStringLiteral("project"),
                                 QStringLiteral("A project file (.dat) to open."),
                                 QStringLiteral("[project.dat]"));
    parser.process(app);
    const QStringList projects = parser.positionalArguments();
    return {projects.isEmpty() ? QString() : projects.first(), parser.value(script)};
}

// --help and --version print and end the program; they need no display, so
// they are answered before the window system is reached.
bool asksForInformation(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all" || arg == "-v" ||
            arg == "--version")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (asksForInformation(argc, argv)) {
        QCoreApplication app(argc, argv);
        parseCommandLine(app);
    }
    QApplication app(argc, argv);
    const CommandLine commandLine = parseCommandLine(app);
    MainWindow window;
    window.show();
    // The questions asked at the start are centred on the window, so they
    // wait until the window system has placed it.
    QDeadlineTimer placed(2000);
    while (!window.windowHandle()->isExposed() && !placed.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QTimer::singleShot(0, &window, [&] {
        window.offerRecovery();
        if (!commandLine.project.isEmpty()) window.openProject(commandLine.project);
        if (!commandLine.script.isEmpty() && !runScript(window, commandLine.script)) {
            std::fprintf(stderr, "quillmap4: cannot read the script %s\n",
                         qPrintable(commandLine.script));
            QCoreApplication::exit(2);
        }
    });
    return app.exec();
}
