// Product data and the two downloads.
#include "Commands.h"

#include "Gpx.h"

#include "navlet/RecordJson.h"

#include <QJsonDocument>
#include <QJsonObject>
#include "domain/CheckedSave.h"

using namespace navlet;

namespace {

void printJson(QTextStream& out, const QJsonObject& o)
{
    out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
}

// Collects the records of one download until its end packet, or until the receiver falls
// silent once it has started. A record the control cannot read stops the download.
template <class Record> struct Download {
    std::vector<Record> records;
    bool started = false;
    bool ended = false;
    QString unreadable; // the layout of the first record that could not be read
};

template <class Record>
bool download(ToolSession& session, quint8 recordId, const std::function<Record()>& take,
              const std::function<void()>& request, Download<Record>& result)
{
    Navlet& n = session.navlet();
    QObject context;
    QObject::connect(&n, &Navlet::Receive, &context, [&](quint8 id, quint8) {
        result.started = true;
        if (!n.lastFrameValid())
            return; // sent again after the NAK, or a repeat of the record just taken
        if (id == recordId && !n.lastRecordDecoded())
            result.unreadable = n.lastRecordFormat();
        else if (id == recordId && result.unreadable.isEmpty())
            result.records.push_back(take());
        else if (id == n.PID_Xfer_Cmplt())
            result.ended = true;
    });
    request();
    if (!session.waitUntil([&] { return result.started; }, ToolTime::ms(tooltiming::AnswerMs)))
        return false;
    session.waitUntil([&] {
        return result.ended || !result.unreadable.isEmpty()
            || session.msSinceLastPacket() > ToolTime::ms(tooltiming::DownloadSilenceMs);
    }, INT_MAX);
    return true;
}

// Exit code of a finished download, with what went wrong on standard error.
template <class Record>
int downloadOutcome(ToolSession& session, const Download<Record>& d, const char* what)
{
    Navlet& n = session.navlet();
    if (!d.unreadable.isEmpty()) {
        session.err() << "navlet-tool: the receiver sends " << what << " in format " << d.unreadable
                      << ", which cannot be read\n";
        return exitcode::Unreadable;
    }
    if (!n.transferComplete()) {
        session.err() << "navlet-tool: download incomplete: ";
        if (n.transferAnnounced())
            session.err() << n.transferRecordsReceived() << " of " << static_cast<quint16>(n.Incoming_Records_Count())
                          << " records";
        else
            session.err() << "no record count";
        session.err() << (d.ended ? "" : ", no end of transfer") << '\n';
        return exitcode::Incomplete;
    }
    return exitcode::Done;
}

// A track point: the fields a point carries (the others belong to track headers).
QJsonObject pointJson(const cTrack& t)
{
    QJsonObject o = toJson(t);
    for (const char* header : {"Dspl", "Color", "Ident"})
        o.remove(QLatin1String(header));
    return o;
}

} // namespace

int runProduct(ToolSession& session, QTextStream& out)
{
    if (!session.open() || !session.connectReceiver())
        return exitcode::NoReceiver;
    QJsonObject o;
    o.insert("Product_Data", toJson(session.navlet().Product_Data()));
    for (const auto& [name, value] : session.navlet().scalarProperties())
        if (name != "IgnoreCheckSum" && name != "Port")
            o.insert(name, QJsonValue::fromVariant(value));
    printJson(out, o);
    return exitcode::Done;
}

int runTracks(ToolSession& session, QTextStream& out, const QString& gpxPath)
{
    if (!session.open() || !session.connectReceiver())
        return exitcode::NoReceiver;
    Navlet& n = session.navlet();
    Download<cTrack> d;
    if (!download<cTrack>(session, n.PID_Trk_Data(), [&] { return n.Track(); }, [&] { n.Request_Tracks(); }, d)) {
        session.err() << "navlet-tool: the receiver did not answer the track request\n";
        return exitcode::NoReceiver;
    }
    if (!d.unreadable.isEmpty())
        return downloadOutcome(session, d, "track points");
    if (gpxPath.isEmpty()) {
        for (const cTrack& t : d.records)
            printJson(out, pointJson(t));
    } else {
        const bool altitude = n.trackPointFormat() != "D300";
        const aero::SaveResult saved = aero::saveChecked(gpxPath, [&](QIODevice& file) { return writeGpx(file, d.records, altitude); });
        if (!saved) {
            session.err() << "navlet-tool: cannot write " << gpxPath << ": " << saved.error << '\n';
            return exitcode::BadInput;
        }
    }
    session.err() << "navlet-tool: " << d.records.size() << " track points\n";
    return downloadOutcome(session, d, "track points");
}

int runWaypoints(ToolSession& session, QTextStream& out)
{
    if (!session.open() || !session.connectReceiver())
        return exitcode::NoReceiver;
    Navlet& n = session.navlet();
    Download<cWaypoint> d;
    if (!download<cWaypoint>(session, n.PID_Wpt_Data(), [&] { return n.Waypoint(); }, [&] { n.Request_Waypoints(); }, d)) {
        session.err() << "navlet-tool: the receiver did not answer the waypoint request\n";
        return exitcode::NoReceiver;
    }
    if (!d.unreadable.isEmpty())
        return downloadOutcome(session, d, "waypoints");
    for (const cWaypoint& w : d.records)
        printJson(out, toJson(w));
    return downloadOutcome(session, d, "waypoints");
}
