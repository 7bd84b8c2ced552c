#pragma once
// The program's command line: "/S path" (or "/s", or --script path) runs a script at start-up;
// --unattended runs it without waiting for any click; a .kml file named alone opens at start-up.
#include <QString>
#include <QStringList>

namespace aero {

struct CommandLine {
    QString scriptPath;
    QString mapFile;
    bool unattended = false;
    bool help = false;
    QString error;
};

// `args` without the program name. The switch must stand as an argument of its own: paths such
// as /srv/maps/a.kml contain "/s" too. Arguments before the switch are ignored.
CommandLine parseCommandLine(const QStringList& args);

QString commandLineHelp();

} // namespace aero
