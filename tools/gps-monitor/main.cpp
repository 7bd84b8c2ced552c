// gps-monitor: connects the GPS control to a serial device or a gpsd daemon and prints every
// event it raises as one JSON object per line, until interrupted or the device hangs up.
#include "EventPrinter.h"
#include "GPS.h"
#include "PortMap.h"
#include "QuitOnSignal.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <optional>

namespace {

constexpr int ExitNoConnection = 1;
constexpr int ExitUsage = 2;
constexpr int ExitHungUp = 3;
constexpr quint16 GpsdDefaultPort = 2947;

struct Options {
    QString device;
    QString baud = QStringLiteral("4800");
    QString gpsdHost;
    quint16 gpsdPort = 0;
    bool ignoreValid = false;
    bool gpOnly = false;
    bool debug = true;
};

[[noreturn]] void usageError(const QString& message)
{
    std::fprintf(stderr, "gps-monitor: %s\nTry 'gps-monitor --help'.\n", qPrintable(message));
    std::exit(ExitUsage);
}

// "host:port", "host" (port 2947) or "[v6 address]:port".
void parseGpsd(const QString& text, Options& options)
{
    QString host = text;
    QString port;
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0 && text.count(QLatin1Char(':')) == 1) {
        host = text.left(colon);
        port = text.mid(colon + 1);
    } else if (text.startsWith(QLatin1Char('[')) && colon > text.indexOf(QLatin1Char(']'))) {
        host = text.mid(1, text.indexOf(QLatin1Char(']')) - 1);
        port = text.mid(colon + 1);
    }
    bool ok = true;
    options.gpsdPort = port.isEmpty() ? GpsdDefaultPort : port.toUShort(&ok);
    if (!ok || options.gpsdPort == 0 || host.isEmpty())
        usageError(QStringLiteral("--gpsd wants HOST:PORT, not '%1'").arg(text));
    options.gpsdHost = host;
}

Options parseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints the events of the NMEA GPS control as JSON lines: Posicion, FechaHora, SatDOP,\n"
        "SatelliteStatus and DebugPrint. Reads a serial device or a gpsd daemon; stops on Ctrl-C.\n"
        "Exit codes: 0 after Ctrl-C, 1 no connection, 2 usage, 3 the device hung up."));
    parser.addHelpOption();
    const QCommandLineOption device(QStringLiteral("device"), QStringLiteral("Serial device to read (/dev/ttyUSB0, pts/3)."),
                                    QStringLiteral("PATH"));
    const QCommandLineOption baud(QStringLiteral("baud"), QStringLiteral("Speed in bits per second (default 4800)."),
                                  QStringLiteral("N"), QStringLiteral("4800"));
    const QCommandLineOption gpsd(QStringLiteral("gpsd"), QStringLiteral("Read the NMEA a gpsd daemon relays."),
                                  QStringLiteral("HOST:PORT"));
    const QCommandLineOption ignoreValid(QStringLiteral("ignore-valid"),
                                         QStringLiteral("Report positions the receiver marks void as valid."));
    const QCommandLineOption gpOnly(QStringLiteral("gp-only"),
                                    QStringLiteral("Decode only GPS ($GP) sentences, not those of every satellite system."));
    const QCommandLineOption noDebug(QStringLiteral("no-debug"), QStringLiteral("Leave out the DebugPrint events."));
    parser.addOptions({device, baud, gpsd, ignoreValid, gpOnly, noDebug});
    if (!parser.parse(app.arguments()))
        usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(device) == parser.isSet(gpsd))
        usageError(QStringLiteral("give exactly one of --device and --gpsd"));
    if (!parser.positionalArguments().isEmpty())
        usageError(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));

    Options options;
    options.ignoreValid = parser.isSet(ignoreValid);
    options.gpOnly = parser.isSet(gpOnly);
    options.debug = !parser.isSet(noDebug);
    bool ok = false;
    options.baud = parser.value(baud).trimmed();
    if (options.baud.toInt(&ok) <= 0 || !ok)
        usageError(QStringLiteral("--baud wants a positive number, not '%1'").arg(options.baud));
    if (parser.isSet(device))
        options.device = portmap::normalizeDevice(parser.value(device));
    else
        parseGpsd(parser.value(gpsd), options);
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("gps-monitor"));
    const Options options = parseOptions(app);

    GPS gps;
    gps.setAllTalkers(!options.gpOnly);
    const EventPrinter printer(gps, options.debug);
    const QuitOnSignal quitOnSignal;
    const short result = options.device.isEmpty()
                             ? gps.ConectarGpsd(options.gpsdHost, options.gpsdPort, options.ignoreValid)
                             : gps.Conectar(options.device, options.ignoreValid, options.baud);
    const QString source = options.device.isEmpty() ? QStringLiteral("%1:%2").arg(options.gpsdHost).arg(options.gpsdPort)
                                                    : options.device;
    if (result != 0) {
        std::fprintf(stderr, "gps-monitor: cannot connect to %s: %s\n", qPrintable(source), qPrintable(gps.lastError()));
        return ExitNoConnection;
    }
    // A device that goes away ends the run: a watcher script must see it, not a silent monitor.
    QObject::connect(&gps, &GPS::connectionLost, &app, [&source](const QString& reason) {
        std::fprintf(stderr, "gps-monitor: %s: %s\n", qPrintable(source), qPrintable(reason));
        QCoreApplication::exit(ExitHungUp);
    });
    const int code = QCoreApplication::exec();
    gps.Desconectar();
    return code;
}
