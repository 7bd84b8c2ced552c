// Sending the access points of a CSV list to the receiver as waypoints.
#include "ApCsv.h"
#include "Commands.h"

#include "navlet/RecordTransfer.h"
#include "navlet/WaypointNames.h"

#include <QFile>

#include <limits>

using namespace navlet;

int runUpload(ToolSession& session, QTextStream& out, const QString& csvPath, int chars)
{
    QFile file(csvPath);
    if (!file.open(QIODevice::ReadOnly)) {
        session.err() << "navlet-tool: cannot read " << csvPath << '\n';
        return exitcode::BadInput;
    }
    const std::vector<ApRow> aps = readApRows(file.readAll());
    // The record count travels as a signed 16-bit number.
    if (aps.size() > static_cast<std::size_t>(std::numeric_limits<qint16>::max())) {
        session.err() << "navlet-tool: " << aps.size() << " access points in " << csvPath
                      << "; at most 32767 can be sent in one transfer\n";
        return exitcode::BadInput;
    }
    if (!session.open() || !session.connectReceiver())
        return exitcode::NoReceiver;
    Navlet& n = session.navlet();

    // Named for the length the receiver keeps, so the names stay distinct on it.
    std::vector<QString> ssids;
    for (const ApRow& ap : aps)
        ssids.push_back(ap.ssid);
    const std::vector<QString> names = makeWaypointNames(ssids, waypointNameLength(chars, n.Waypoint_Data_Format()),
                                                          n.Waypoint_Data_Format());
    if (const auto repeated = firstRepeatedName(names)) {
        session.err() << "navlet-tool: " << aps.size() << " waypoints cannot have distinct names of "
                      << waypointNameLength(chars, n.Waypoint_Data_Format()) << " characters (\""
                      << names[*repeated] << "\" repeats)\n";
        return exitcode::BadInput;
    }
    if (const QString refusal = waypointUploadRefusal(n); !refusal.isEmpty()) {
        session.err() << "navlet-tool: " << refusal << '\n';
        return exitcode::Unreadable;
    }
    const auto total = static_cast<qint16>(aps.size());
    const auto [acknowledged, ended] = uploadRecords(
        n, total, n.PID_Wpt_Data(),
        [&](int i) {
            const auto k = static_cast<std::size_t>(i);
            fillApWaypoint(n.Waypoint(), names[k], aps[k].latitude, aps[k].longitude);
            n.Send_Waypoint();
        },
        [&](quint8 id) { return session.waitForAck(id); }, true);
    out << "Acknowledged " << acknowledged << " of " << total << " waypoints.\n";
    return ended ? exitcode::Done : exitcode::Incomplete;
}
