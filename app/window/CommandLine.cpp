#include "window/CommandLine.h"

namespace aero {

CommandLine parseCommandLine(const QStringList& args)
{
    CommandLine cl;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a.compare(QLatin1String("/S"), Qt::CaseInsensitive) == 0 || a == QLatin1String("--script")) {
            if (i + 1 >= args.size()) {
                cl.error = QStringLiteral("%1 needs a script file path").arg(a);
                return cl;
            }
            cl.scriptPath = args[++i];
            cl.mapFile.clear();   // a script start loads no map of its own
        } else if (a.startsWith(QLatin1String("--script="))) {
            cl.scriptPath = a.mid(9);
        } else if (a == QLatin1String("--unattended")) {
            cl.unattended = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            cl.help = true;
        } else if (cl.scriptPath.isEmpty() && a.endsWith(QLatin1String(".kml"), Qt::CaseInsensitive)) {
            cl.mapFile = a;
        }
    }
    return cl;
}

QString commandLineHelp()
{
    return QStringLiteral(
        "Usage: aeroplotter [MAP.kml] [/S SCRIPT | --script SCRIPT] [--unattended]\n"
        "\n"
        "  MAP.kml            open this map at start-up\n"
        "  /S SCRIPT          run an Aeroplotter script file at start-up (also /s, --script)\n"
        "  --unattended       never wait for a click: messages go to standard error and the\n"
        "                     exit code tells how the script went (also implied without a display)\n"
        "  --help             show this text\n");
}

} // namespace aero
