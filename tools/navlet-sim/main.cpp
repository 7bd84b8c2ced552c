// navlet-sim: a handheld receiver on a pseudo-terminal. Prints the device to open on its first
// line, then one JSON line per event (uploaded waypoints, end of an upload, power off).
#include "PtyPort.h"
#include "Scenario.h"
#include "SimLink.h"
#include "SimReceiver.h"
#include "StrictLink.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("navlet-sim"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulates a handheld receiver on a pseudo-terminal. The first line of output is the "
        "device to open; then one JSON line per event. See README.md for the scenario format."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("save"), QStringLiteral("Write uploaded waypoints to <file> (JSON)."),
                      QStringLiteral("file")});
    parser.addPositionalArgument(QStringLiteral("scenario"), QStringLiteral("Scenario file (JSON)."));
    parser.process(app);

    QTextStream err(stderr);
    if (parser.positionalArguments().size() != 1) {
        err << "navlet-sim: one scenario file expected (--help)\n";
        return 2;
    }
    QString error;
    auto scenario = loadScenario(parser.positionalArguments().first(), &error);
    if (!scenario) {
        err << "navlet-sim: " << error << '\n';
        return 2;
    }
    if (parser.isSet(QStringLiteral("save")))
        scenario->savePath = parser.value(QStringLiteral("save"));

    PtyPort port;
    if (!port.isValid()) {
        err << "navlet-sim: no pseudo-terminal available\n";
        return 1;
    }
    const navlet::LinkIds ids = navlet::LinkIds::forLinkProtocol(scenario->linkProtocol());
    QTextStream out(stdout);
    std::unique_ptr<ReceiverLink> link;
    if (scenario->strict.enabled)
        link = std::make_unique<StrictLink>(port, ids, scenario->strict, scenario->faults, out);
    else
        link = std::make_unique<SimLink>(port, ids, scenario->faults);
    SimReceiver receiver(*scenario, *link, ids, out);
    out << port.slavePath() << '\n';
    out.flush();
    return app.exec();
}
