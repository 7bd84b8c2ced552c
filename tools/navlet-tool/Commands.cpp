// Product data and the two downloads.
#include "Commands.h"

#include "Gpx.h"

#include "navlet/RecordJson.h"
#include "navlet/RecordTransfer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include "domain/CheckedSave.h"

using namespace navlet;

namespace {

void printJson(QTextStream& out, const QJsonObject& o)
{
    out << QJsonDocument(o).toJson(QJsonDocument::Compact) << '\n';
}

// One download through the transfer engine: every record of `recordId` in order, until the
// receiver ends the transfer, its count is in, or it falls silent.
template <class Record> struct Download {
    std::vector<Record> records;
    RecordDownload::End end = RecordDownload::End::Running;
    QString received;
    bool complete = false;
    QString unreadable;
};

template <class Record>
Download<Record> download(ToolSession& session, std::vector<quint8> counted, quint8 recordId,
                          const std::function<Record()>& take, const std::function<void()>& request)
{
    RecordDownload engine(session.navlet());
    Download<Record> result;
    QObject::connect(&engine, &RecordDownload::record, &engine, [&](quint8 id) {
        if (id == recordId)
            result.records.push_back(take());
    });
    engine.start(request, std::move(counted), ToolTime::ms(tooltiming::AnswerMs));
    session.waitUntil([&] { return !engine.running(); }, INT_MAX);
    result.end = engine.end();
    result.received = engine.received();
    result.complete = engine.complete();
    result.unreadable = engine.unreadableFormat();
    return result;
}

// Exit code of a finished download, with what went wrong on standard error.
template <class Record>
int downloadOutcome(ToolSession& session, const Download<Record>& d, const char* what)
{
    if (!d.unreadable.isEmpty()) {
        session.err() << "navlet-tool: the receiver sends " << what << " in format " << d.unreadable
                      << ", which cannot be read\n";
        return exitcode::Unreadable;
    }
    if (!d.complete) {
        session.err() << "navlet-tool: download incomplete: " << d.received
                      << (d.end == RecordDownload::End::EndPacket ? "" : ", no end of transfer") << '\n';
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
    const Download<cTrack> d = download<cTrack>(session, {n.PID_Trk_Data(), n.PID_Trk_Hdr()}, n.PID_Trk_Data(),
                                                [&] { return n.Track(); }, [&] { n.Request_Tracks(); });
    if (d.end == RecordDownload::End::NoAnswer) {
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
    const Download<cWaypoint> d = download<cWaypoint>(session, {n.PID_Wpt_Data()}, n.PID_Wpt_Data(),
                                                      [&] { return n.Waypoint(); }, [&] { n.Request_Waypoints(); });
    if (d.end == RecordDownload::End::NoAnswer) {
        session.err() << "navlet-tool: the receiver did not answer the waypoint request\n";
        return exitcode::NoReceiver;
    }
    if (!d.unreadable.isEmpty())
        return downloadOutcome(session, d, "waypoints");
    for (const cWaypoint& w : d.records)
        printJson(out, toJson(w));
    return downloadOutcome(session, d, "waypoints");
}
