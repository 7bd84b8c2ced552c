#include "domain/TrackLog.h"

#include "domain/PositionEstimate.h"
#include "domain/XmlRoot.h"

#include <QDateTime>
#include <QTimeZone>
#include <cmath>
#include <optional>
#include <QIODevice>
#include <QXmlStreamReader>
#include <algorithm>

namespace aero::track {

Track::Track(std::vector<TrackPoint> points, double errorM)
    : m_points(std::move(points)), m_errorM(errorM)
{
    std::stable_sort(m_points.begin(), m_points.end(), [](const TrackPoint& a, const TrackPoint& b) { return a.time < b.time; });
    m_driven.reserve(m_points.size());
    double sum = 0.0;
    for (std::size_t i = 0; i < m_points.size(); ++i) {
        if (i > 0)
            sum += position::metresBetween(m_points[i - 1].latitude, m_points[i - 1].longitude, m_points[i].latitude,
                                           m_points[i].longitude);
        m_driven.push_back(sum);
    }
}

// Index of the first point of the segment holding `time`.
std::size_t Track::segmentOf(qint64 time) const
{
    const auto it = std::upper_bound(m_points.begin(), m_points.end(), time,
                                     [](qint64 t, const TrackPoint& p) { return t < p.time; });
    const auto i = static_cast<std::size_t>(it - m_points.begin());
    return i == 0 ? 0 : std::min(i - 1, m_points.size() - 1);
}

bool Track::covers(qint64 time) const
{
    if (m_points.empty() || time < start() || time > end())
        return false;
    const std::size_t i = segmentOf(time);
    return i + 1 >= m_points.size() || m_points[i + 1].time - m_points[i].time <= MaxGapMs || time == m_points[i].time;
}

TrackPoint Track::at(qint64 time) const
{
    const std::size_t i = segmentOf(time);
    const TrackPoint& a = m_points[i];
    if (i + 1 >= m_points.size() || m_points[i + 1].time == a.time)
        return {time, a.latitude, a.longitude};
    const TrackPoint& b = m_points[i + 1];
    const double f = static_cast<double>(time - a.time) / static_cast<double>(b.time - a.time);
    return {time, a.latitude + f * (b.latitude - a.latitude), a.longitude + f * (b.longitude - a.longitude)};
}

double Track::drivenTo(qint64 time) const
{
    const std::size_t i = segmentOf(time);
    if (i + 1 >= m_points.size() || m_points[i + 1].time == m_points[i].time)
        return m_driven[i];
    const double f = static_cast<double>(time - m_points[i].time) / static_cast<double>(m_points[i + 1].time - m_points[i].time);
    return m_driven[i] + f * (m_driven[i + 1] - m_driven[i]);
}

double Track::drivenBetween(qint64 from, qint64 to) const
{
    return std::abs(drivenTo(to) - drivenTo(from));
}

namespace {

bool usable(double lat, double lon, bool ok)
{
    return ok && lat >= -90 && lat <= 90 && lon >= -180 && lon <= 180 && (lat != 0.0 || lon != 0.0);
}

// Keeps `p` unless the track is full: then the log is too long to be a drive, and says so.
bool addPoint(std::vector<TrackPoint>& points, const TrackPoint& p, TrackContents& out)
{
    if (static_cast<qint64>(points.size()) >= MaxTrackPoints) {
        out.status = TrackStatus::Damaged;
        out.detail = QStringLiteral("more than %1 track points").arg(MaxTrackPoints);
        return false;
    }
    points.push_back(p);
    return true;
}

} // namespace

TrackContents readGpxTrack(QIODevice& device)
{
    TrackContents out;
    std::vector<TrackPoint> points;
    QXmlStreamReader xml(&device);
    ElementsUnderRoot elements(xml, QLatin1String("gpx"));
    while (elements.next()) {
        if (xml.name() != QLatin1String("trkpt"))
            continue;   // descend into trk and trkseg; metadata and waypoints carry no track
        bool okLat = false, okLon = false;
        const double lat = xml.attributes().value(QLatin1String("lat")).toDouble(&okLat);
        const double lon = xml.attributes().value(QLatin1String("lon")).toDouble(&okLon);
        QDateTime when;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("time"))
                when = QDateTime::fromString(xml.readElementText().trimmed(), Qt::ISODateWithMs);
            else
                xml.skipCurrentElement();
        }
        if (!when.isValid() || !usable(lat, lon, okLat && okLon)) {
            ++out.skipped;
            continue;
        }
        if (!addPoint(points, {when.toMSecsSinceEpoch(), lat, lon}, out))
            break;
    }
    if (xml.hasError() && out.status == TrackStatus::Ok) {
        out.status = elements.rootSeen() ? TrackStatus::Damaged : TrackStatus::NotRecognised;
        out.detail = QStringLiteral("%1 (line %2)").arg(xml.errorString()).arg(xml.lineNumber());
    } else if (!elements.rootSeen()) {
        out.status = TrackStatus::NotRecognised;
    }
    if (out.status == TrackStatus::Ok && points.empty())
        out.status = TrackStatus::NoTimes;
    out.track = Track(std::move(points));
    return out;
}

namespace {

// "4722.2000" "N" -> 47.37; false when the field is not ddmm.mmmm.
bool nmeaAngle(QByteArrayView value, QByteArrayView hemisphere, int degreeDigits, double& out)
{
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok || value.indexOf('.') != degreeDigits + 2 || v < 0)
        return false;
    const double deg = std::floor(v / 100.0);
    out = deg + (v - deg * 100.0) / 60.0;
    if (hemisphere == "S" || hemisphere == "W")
        out = -out;
    return hemisphere == "N" || hemisphere == "S" || hemisphere == "E" || hemisphere == "W";
}

bool checksumOk(const QByteArray& sentence)
{
    const qsizetype star = sentence.lastIndexOf('*');
    if (star < 0)
        return true;   // some loggers write none
    quint8 sum = 0;
    for (qsizetype i = 1; i < star; ++i)
        sum ^= static_cast<quint8>(sentence[i]);
    bool ok = false;
    return sentence.mid(star + 1).trimmed().toUInt(&ok, 16) == sum && ok;
}

// A valid RMC sentence as a track point.
std::optional<TrackPoint> rmcPoint(const QByteArray& line)
{
    if (line.size() < 7 || line[0] != '$' || !line.mid(3, 4).startsWith("RMC,") || !checksumOk(line))
        return std::nullopt;
    const qsizetype star = line.lastIndexOf('*');
    const QList<QByteArray> f = line.left(star < 0 ? line.size() : star).split(',');
    if (f.size() < 10 || f[2] != "A" || f[1].size() < 6 || f[9].size() != 6)
        return std::nullopt;
    TrackPoint p;
    if (!nmeaAngle(f[3], f[4], 2, p.latitude) || !nmeaAngle(f[5], f[6], 3, p.longitude))
        return std::nullopt;
    const QDate date = QDate::fromString(QString::fromLatin1(f[9]), QStringLiteral("ddMMyy")).addYears(100);
    const QTime time = QTime::fromString(QString::fromLatin1(f[1].left(6)), QStringLiteral("HHmmss"));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    bool ok = false;
    const double fraction = f[1].size() > 6 ? f[1].mid(6).toDouble(&ok) : 0.0;
    p.time = QDateTime(date, time, QTimeZone::utc()).toMSecsSinceEpoch() + (ok ? qRound64(fraction * 1000.0) : 0);
    return p;
}

} // namespace

TrackContents readNmeaTrack(QIODevice& device)
{
    constexpr qint64 MaxLine = 1024;   // a sentence is at most 82 characters
    TrackContents out;
    std::vector<TrackPoint> points;
    bool sentences = false;
    while (!device.atEnd()) {
        const QByteArray line = device.readLine(MaxLine).trimmed();
        if (!line.startsWith('$'))
            continue;
        sentences = true;
        if (line.mid(3, 3) != "RMC")
            continue;
        const auto p = rmcPoint(line);
        if (!p) {
            ++out.skipped;
            continue;
        }
        if (!addPoint(points, *p, out))
            break;
    }
    if (!sentences)
        out.status = TrackStatus::NotRecognised;
    else if (out.status == TrackStatus::Ok && points.empty())
        out.status = TrackStatus::NoTimes;
    out.track = Track(std::move(points));
    return out;
}

TrackContents readTrack(QIODevice& device)
{
    const QByteArray head = device.peek(4096);
    if (head.contains("<gpx"))
        return readGpxTrack(device);
    return readNmeaTrack(device);
}

QString trackMessage(const TrackContents& c, const QString& path)
{
    switch (c.status) {
    case TrackStatus::Ok:
        return {};
    case TrackStatus::NotRecognised:
        return QStringLiteral("The file %1 is not a GPX track or an NMEA log.").arg(path);
    case TrackStatus::NoTimes:
        return QStringLiteral("The track %1 has no points with a time, so it cannot place records by time.").arg(path);
    case TrackStatus::Damaged:
        return QStringLiteral("The track %1 is damaged (%2); the points before the damage are used.").arg(path, c.detail);
    }
    return {};
}

} // namespace aero::track
