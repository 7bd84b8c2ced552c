// Aeroplotter: access point maps from wireless survey logs.
#include "Program.h"

#include "window/Automation.h"
#include "window/DesktopLook.h"
#include "window/frmPlotter.h"
#include "script/RunScript.h"

#include <QApplication>
#include <cstdio>

namespace {

bool hasDisplay()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform == "offscreen" || platform == "minimal")
        return false;
    return !platform.isEmpty() || qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
}

QStringList arguments(int argc, char** argv)
{
    QStringList out;
    for (int i = 1; i < argc; ++i)
        out << QString::fromLocal8Bit(argv[i]);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    const aero::CommandLine commandLine = aero::parseCommandLine(arguments(argc, argv));
    if (commandLine.help) {
        std::fputs(qPrintable(aero::commandLineHelp()), stdout);
        return 0;
    }
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "aeroplotter: %s\n%s", qPrintable(commandLine.error), qPrintable(aero::commandLineHelp()));
        return 2;
    }
    const bool display = hasDisplay();
    const bool unattended = commandLine.unattended || !display;
    // Without any display the program can only work through a script; with the offscreen
    // platform asked for explicitly it also serves automation calls until it is stopped.
    if (!display && commandLine.scriptPath.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "aeroplotter: no display; run a script with --script PATH to work unattended\n");
        return 2;
    }
    if (!display)
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Aeroplotter"));
    QApplication::setApplicationName(QStringLiteral("Aeroplotter"));
    QApplication::setApplicationVersion(QStringLiteral(AEROPLOTTER_VERSION));
    if (display)
        aero::followDesktopColourScheme(app);

    aero::InteractiveDialogs interactive;
    aero::UnattendedDialogs headless;
    aero::Dialogs& dialogs = unattended ? static_cast<aero::Dialogs&>(headless) : interactive;
    aero::Program program(dialogs, &dialogs == &interactive);
    interactive.setParent(&program.window());
    // A batch run of a script serves no other program; only a program that stays up publishes.
    if (!(unattended && !commandLine.scriptPath.isEmpty()))
        aero::publishAutomation(program.automation());
    QObject::connect(&program.window(), &aero::frmPlotter::programEnded, &app, &QApplication::quit,
                     Qt::QueuedConnection);

    program.start(commandLine);
    if (unattended && !commandLine.scriptPath.isEmpty())
        return program.unattendedExitCode();
    if (program.window().ended())
        return 0;
    return QApplication::exec();
}
