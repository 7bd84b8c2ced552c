// Sending the access points of a CSV list to the receiver as waypoints.
#include "ApCsv.h"
#include "Commands.h"

#include "navlet/WaypointNames.h"

#include <QFile>

using namespace navlet;

namespace {

// The fields an access point fills; the others keep what the record held.
void fillWaypoint(cWaypoint& w, const QString& name, const ApRow& ap)
{
    w.Ident = name;
    w.Lat = ap.latitude;
    w.Lon = ap.longitude;
    w.Cmnt.clear();
    w.Dspl = 1;
    w.Smbl = 16391;
    w.Attrib = 96;
    w.Unused1 = 0;
}

} // namespace

int runUpload(ToolSession& session, QTextStream& out, const QString& csvPath, int chars)
{
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly)) {
        session.err() << "navlet-tool: cannot read " << csvPath << '\n';
        return exitcode::BadInput;
    }
    const std::vector<ApRow> aps = readApRows(file.readAll());
    std::vector<QString> ssids;
    for (const ApRow& ap : aps)
        ssids.push_back(ap.ssid);
    const std::vector<QString> names = makeWaypointNames(ssids, chars);

    if (!session.open() || !session.connectReceiver())
        return exitcode::NoReceiver;
    Navlet& n = session.navlet();
    const auto total = static_cast<qint16>(aps.size());
    if (!session.sendAndWaitForAck([&] { n.Start_of_Records(total); }, n.PID_Records())) {
        out << "Acknowledged 0 of " << total << " waypoints.\n";
        return exitcode::Incomplete;
    }
    int acknowledged = 0;
    for (std::size_t i = 0; i < aps.size(); ++i) {
        fillWaypoint(n.Waypoint(), names[i], aps[i]);
        if (!session.sendAndWaitForAck([&] { n.Send_Waypoint(); }, n.PID_Wpt_Data()))
            break;
        ++acknowledged;
    }
    const bool ended = acknowledged == total
        && session.sendAndWaitForAck([&] { n.End_of_Records(); }, n.PID_Xfer_Cmplt());
    out << "Acknowledged " << acknowledged << " of " << total << " waypoints.\n";
    return ended ? exitcode::Done : exitcode::Incomplete;
}
