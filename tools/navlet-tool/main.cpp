// navlet-tool: talks to a handheld receiver from the command line.
//   navlet-tool --device PATH product
//   navlet-tool --device PATH tracks [--gpx FILE]
//   navlet-tool --device PATH waypoints
//   navlet-tool --device PATH upload FILE.csv [--chars N]
#include "Commands.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

const char* const Description =
    "Talks to a handheld receiver over a serial line in its binary protocol.\n\n"
    "Commands:\n"
    "  product            product data and capabilities, one JSON object\n"
    "  tracks             the track log, one JSON object per point (or GPX with --gpx)\n"
    "  waypoints          the waypoints, one JSON object each\n"
    "  upload FILE.csv    sends the access points of an AP list as waypoints\n\n"
    "Exit codes: 0 done, 1 no receiver, 2 usage, 3 transfer incomplete, 4 bad input file,\n"
    "5 the receiver's record format cannot be read.";

int run(const QCommandLineParser& parser, QTextStream& out, QTextStream& err)
{
    const QStringList args = parser.positionalArguments();
    const QString device = parser.value(QStringLiteral("device"));
    if (args.isEmpty() || device.isEmpty()) {
        err << "navlet-tool: a device and a command are needed (--help)\n";
        return exitcode::Usage;
    }
    const QString command = args.first();
    ToolTime::setScale(parser.value(QStringLiteral("time-scale")).toDouble());
    ToolSession session(device, err);
    if (parser.isSet(QStringLiteral("trace")))
        QObject::connect(&session.navlet(), &navlet::Navlet::HexDebug, &session,
                         [&err](const QString& line) { err << line << '\n'; });
    if (command == "product" && args.size() == 1)
        return runProduct(session, out);
    if (command == "tracks" && args.size() == 1)
        return runTracks(session, out, parser.value(QStringLiteral("gpx")));
    if (command == "waypoints" && args.size() == 1)
        return runWaypoints(session, out);
    if (command == "upload" && args.size() == 2) {
        bool ok = false;
        const int chars = parser.value(QStringLiteral("chars")).toInt(&ok);
        if (!ok || chars < 1 || chars > 255) {
            err << "navlet-tool: --chars takes a number from 1 to 255\n";
            return exitcode::Usage;
        }
        return runUpload(session, out, args.at(1), chars);
    }
    err << "navlet-tool: unknown command or wrong arguments: " << args.join(' ') << " (--help)\n";
    return exitcode::Usage;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("navlet-tool"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(Description));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("device"), QStringLiteral("Serial device of the receiver."), QStringLiteral("path")});
    parser.addOption({QStringLiteral("gpx"), QStringLiteral("tracks: write GPX 1.1 to <file>."), QStringLiteral("file")});
    parser.addOption({QStringLiteral("chars"), QStringLiteral("upload: waypoint name length (default 6)."),
                      QStringLiteral("n"), QStringLiteral("6")});
    parser.addOption({QStringLiteral("time-scale"),
                      QStringLiteral("Multiplies every wait and time-out by <factor> (tests)."),
                      QStringLiteral("factor"), QStringLiteral("1")});
    parser.addOption({QStringLiteral("trace"), QStringLiteral("Writes every packet in and out to standard error.")});
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("product, tracks, waypoints or upload"));
    parser.process(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code = run(parser, out, err);
    out.flush();
    err.flush();
    return code;
}
