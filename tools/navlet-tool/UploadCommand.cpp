// Sending the access points of a CSV list to the receiver as waypoints.
#include "ApCsv.h"
#include "Commands.h"

#include "navlet/RecordTransfer.h"
#include "navlet/WaypointNames.h"

#include <QFile>
#include <QFileInfo>

#include <limits>

using namespace navlet;

int runUpload(ToolSession& session, QTextStream& out, const QString& csvPath, int chars)
{
    QFile file(csvPath);
    // Only a regular file (a FIFO or device would block or never end).
    if (!QFileInfo(csvPath).isFile() || !file.open(QIODevice::ReadOnly)) {
        session.err() << "navlet-tool: cannot read " << csvPath << '\n';
        return exitcode::BadInput;
    }
    // The record count travels as a signed 16-bit number: the list is read only that far.
    constexpr auto MaxWaypoints = static_cast<std::size_t>(std::numeric_limits<qint16>::max());
    const ApRows list = readApRows(file, MaxWaypoints);
    if (!list.error.isEmpty()) {
        session.err() << "navlet-tool: " << csvPath << ": " << list.error << " (one transfer carries at most "
                      << MaxWaypoints << ")\n";
        return exitcode::BadInput;
    }
    const std::vector<ApRow>& aps = list.rows;
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
