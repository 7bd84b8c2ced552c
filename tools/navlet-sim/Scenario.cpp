#include "Scenario.h"

#include "navlet/NavletBytes.h"
#include "navlet/RecordJson.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace navlet;

namespace {

const QStringList DefaultProtocols = {"P000", "L001", "A010", "A100", "D108", "A200", "D200", "D100",
                                      "A300", "D300", "A400", "D400", "A500", "D500", "A600", "D600",
                                      "A700", "D700", "A800", "D800"};

std::vector<cTrack> segmentsFromJson(const QJsonArray& segments)
{
    std::vector<cTrack> points;
    for (const QJsonValue& segment : segments) {
        bool first = true;
        for (const QJsonValue& p : segment.toArray()) {
            cTrack t = trackFromJson(p.toObject());
            t.New_Segment = first;
            first = false;
            points.push_back(t);
        }
    }
    return points;
}

// A long log for load tests: a diagonal walk, one point a second.
std::vector<cTrack> generatedPoints(const QJsonObject& g)
{
    std::vector<cTrack> points;
    const int segments = std::max(1, g.value("segments").toInt(1));
    const int count = std::clamp(g.value("points").toInt(0), 0, 32767);
    const double lat = g.value("Lat").toDouble(52.0);
    const double lon = g.value("Lon").toDouble(4.0);
    const std::int32_t start = trackTimeSeconds(g.value("Time").toString()).value_or(422114589);
    const int perSegment = std::max(1, (count + segments - 1) / segments);
    for (int i = 0; i < count; ++i) {
        cTrack t;
        t.Lat = semicirclesToDegrees(degreesToSemicircles(lat + i * 1e-5));
        t.Lon = semicirclesToDegrees(degreesToSemicircles(lon + i * 1e-5));
        t.Time = trackTimeText(start + i);
        t.Alt = static_cast<float>(i % 100);
        t.New_Segment = i % perSegment == 0;
        points.push_back(t);
    }
    return points;
}

void readFaults(const QJsonObject& o, Faults& f)
{
    f.corruptEvery = std::max(0, o.value("corruptEvery").toInt(0));
    f.nakEvery = std::max(0, o.value("nakEvery").toInt(0));
    f.silentAfter = o.value("silentAfter").toInt(-1);
}

void readStrict(const QJsonObject& o, StrictLine& l)
{
    l.enabled = !o.isEmpty();
    l.seed = static_cast<unsigned>(o.value("seed").toInt(1));
    l.corruptPercent = std::clamp(o.value("corruptPercent").toDouble(0), 0.0, 100.0);
    l.nakPercent = std::clamp(o.value("nakPercent").toDouble(0), 0.0, 100.0);
    l.dropPercent = std::clamp(o.value("dropPercent").toDouble(0), 0.0, 100.0);
    l.noisePercent = std::clamp(o.value("noisePercent").toDouble(0), 0.0, 100.0);
    l.ackTimeoutMs = std::max(1, o.value("ackTimeoutMs").toInt(1000));
    l.ackTimeoutMaxMs = std::max(l.ackTimeoutMs, o.value("ackTimeoutMaxMs").toInt(l.ackTimeoutMs));
    l.baud = std::clamp(o.value("baud").toInt(0), 0, 1000000);
    l.retries = std::max(0, o.value("retries").toInt(20));
}

void readRecords(const QJsonObject& root, Scenario& s)
{
    const QJsonObject tracks = root.value("tracks").toObject();
    s.trackPoints = segmentsFromJson(tracks.value("segments").toArray());
    if (tracks.contains("generate")) {
        const auto more = generatedPoints(tracks.value("generate").toObject());
        s.trackPoints.insert(s.trackPoints.end(), more.begin(), more.end());
    }
    for (const QJsonValue& w : root.value("waypoints").toArray())
        s.waypoints.push_back(waypointFromJson(w.toObject()));
}

} // namespace

std::optional<Scenario> loadScenario(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!doc.isObject()) {
        *error = QStringLiteral("%1: %2 at offset %3").arg(path, parseError.errorString()).arg(parseError.offset);
        return std::nullopt;
    }
    const QJsonObject root = doc.object();
    Scenario s;
    s.product = productFromJson(root.value("product").toObject(), {900, 300, "Handheld receiver", ""});
    s.protocols = DefaultProtocols;
    if (root.contains("protocols"))
        s.protocols = root.value("protocols").toVariant().toStringList();
    s.sendProtocolArray = root.value("sendProtocolArray").toBool(true);
    readRecords(root, s);
    s.savePath = root.value("upload").toObject().value("save").toString();
    readFaults(root.value("faults").toObject(), s.faults);
    readStrict(root.value("strict").toObject(), s.strict);
    const QJsonObject nmea = root.value("nmea").toObject();
    s.nmeaSentences = nmea.value("sentences").toVariant().toStringList();
    s.nmeaIntervalMs = std::max(1, nmea.value("intervalMs").toInt(100));
    s.dateTime = {5, 17, 2003, 14, 3, 9};
    s.pvt.Lat = root.value("pvt").toObject().value("Lat").toDouble(52.0);
    s.pvt.Lon = root.value("pvt").toObject().value("Lon").toDouble(4.0);
    for (const QString& p : s.protocols) {
        if (!parseProtocolName(p)) {
            *error = QStringLiteral("%1: not a protocol name: %2").arg(path, p);
            return std::nullopt;
        }
    }
    return s;
}

std::vector<ProtocolEntry> Scenario::protocolEntries() const
{
    std::vector<ProtocolEntry> entries;
    for (const QString& p : protocols)
        entries.push_back(*parseProtocolName(p));
    return entries;
}

QString Scenario::linkProtocol() const
{
    const QByteArray data = encodeProtocolArray(protocolEntries());
    return capabilitiesFromSlots(parseProtocolArray(bytesOf(data))).Link_Protocol;
}

QString Scenario::waypointFormat() const
{
    const QByteArray data = encodeProtocolArray(protocolEntries());
    return capabilitiesFromSlots(parseProtocolArray(bytesOf(data))).Waypoint_Data_Format;
}

namespace {

QString trackLayout(const QStringList& protocols, const QStringList& wanted)
{
    bool inTrackProtocol = false;
    for (const QString& p : protocols) {
        if (!p.startsWith('D'))
            inTrackProtocol = p == "A300" || p == "A301" || p == "A302";
        else if (inTrackProtocol && wanted.contains(p))
            return p;
    }
    return {};
}

} // namespace

QString Scenario::trackPointFormat() const
{
    const QString point = trackLayout(protocols, {"D300", "D301", "D302"});
    return point.isEmpty() ? QStringLiteral("D300") : point;
}

QString Scenario::trackHeaderFormat() const
{
    return trackLayout(protocols, {"D310", "D311", "D312"});
}
