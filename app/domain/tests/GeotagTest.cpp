#include "domain/Geotag.h"
#include "domain/KismetCsv.h"
#include "domain/PositionEstimate.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace aero::track {
namespace {

constexpr qint64 T0 = 1'781'172'000'000;   // 2026-06-11 10:00 UTC
constexpr double MPerDeg = 60 * 1.1515 * 1609.344;

// Due north at 10 m/s, a point every 10 s for 100 s, then no fix for 10 minutes, then 10 s more.
Track drive()
{
    std::vector<TrackPoint> pts;
    for (int s = 0; s <= 100; s += 10)
        pts.push_back({T0 + s * 1000, 47.0 + s * 10 / MPerDeg, 8.0});
    pts.push_back({T0 + 700'000, 47.0 + 1100 / MPerDeg, 8.0});
    pts.push_back({T0 + 710'000, 47.0 + 1200 / MPerDeg, 8.0});
    std::swap(pts[0], pts[5]);   // the reader sorts by time
    return Track(pts, 10.0);
}

TEST(Geotag, RecordsArePlacedByTheirTimesOrLeftUnplaced)
{
    const Track track = drive();
    struct Case {
        const char* legend;
        TimedRecord record;
        qint64 offsetMs;
        bool placed;
        double northM;   // expected position, metres north of the start
        double radiusM;
    } cases[] = {
        {"halfway between first and last seen", {T0 + 20'000, T0 + 40'000, 0}, 0, true, 300, 100 + 10},
        {"at the best-signal time when known", {T0 + 20'000, T0 + 40'000, T0 + 25'000}, 0, true, 250, 100 + 10},
        {"between two track points", {T0 + 33'000, T0 + 33'000, 0}, 0, true, 330, 10},
        {"only the last seen known", {0, T0 + 50'000, 0}, 0, true, 500, 10},
        {"a clock 1000 s ahead, mended by the offset", {T0 + 1'020'000, T0 + 1'040'000, 0}, -1'000'000, true, 300, 110},
        {"before the track", {T0 - 50'000, T0 - 10'000, 0}, 0, false, 0, 0},
        {"after the track", {T0 + 800'000, T0 + 900'000, 0}, 0, false, 0, 0},
        {"in the track's gap without a fix", {T0 + 300'000, T0 + 400'000, 0}, 0, false, 0, 0},
        {"no time at all", {0, 0, 0}, 0, false, 0, 0},
        {"seen past the track's end: only the covered stretch counts", {T0 + 80'000, T0 + 100'000, 0}, 0, true, 900, 100 + 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.legend);
        const auto p = placeByTime(track, c.record, c.offsetMs);
        ASSERT_EQ(p.has_value(), c.placed);
        if (!p)
            continue;
        EXPECT_NEAR(position::metresBetween(p->latitude, p->longitude, 47.0 + c.northM / MPerDeg, 8.0), 0.0, 0.5);
        EXPECT_NEAR(p->uncertaintyM, c.radiusM, 0.5);
    }
}

TEST(Geotag, TheTableGetsPlacedRecordsAndCountsTheRest)
{
    APList table;
    table.NextAP = 1;
    const std::pair<qint64, qint64> times[] = {{T0 + 20'000, T0 + 40'000}, {T0 - 50'000, T0 - 10'000}, {0, 0}, {T0, T0}};
    for (int i = 0; i < 4; ++i) {
        AccessPoint ap;
        ap.SSID = QStringLiteral("n%1").arg(i);
        ap.MAC = QStringLiteral("02:00:00:00:00:0%1").arg(i);
        if (i == 3)
            ap.Latitude = ap.Longitude = 1.0;   // already placed: left alone
        Observation seen;
        seen.firstSeen = times[i].first;
        seen.lastSeen = times[i].second;
        table.append(ap, seen);
    }
    EXPECT_EQ(placeByTrack(table, drive(), 0), (GeotagResult{1, 1, 1}));
    EXPECT_NEAR(table.at(1).Latitude, 47.0 + 300 / MPerDeg, 1e-7);
    EXPECT_EQ(table.observation(1).positionMethod, QStringLiteral("track"));
    EXPECT_NEAR(table.observation(1).uncertaintyM, 110, 0.5);
    EXPECT_FALSE(table.at(2).hasCoordinates());
    EXPECT_EQ(table.at(4).Latitude, 1.0);
}

TEST(Geotag, TrackAndTimeTextsAreReadOrRefused)
{
    QByteArray gpx = R"(<?xml version="1.0"?><gpx version="1.1" xmlns="http://www.topografix.com/GPX/1/1">
<wpt lat="1" lon="1"><time>2026-06-11T09:00:00Z</time></wpt>
<trk><trkseg>
<trkpt lat="47.001" lon="8.0"><time>2026-06-11T10:00:10Z</time></trkpt>
<trkpt lat="47.000" lon="8.0"><time>2026-06-11T10:00:00.000Z</time></trkpt>
<trkpt lat="47.002" lon="8.0"></trkpt>
<trkpt lat="north" lon="8.0"><time>2026-06-11T10:00:20Z</time></trkpt>
</trkseg></trk></gpx>)";
    QBuffer buffer(&gpx);
    buffer.open(QIODevice::ReadOnly);
    const TrackContents c = readGpxTrack(buffer);
    EXPECT_EQ(c.status, TrackStatus::Ok);
    EXPECT_EQ(c.skipped, 2) << "no time; a bad latitude";
    ASSERT_EQ(c.track.points().size(), 2u) << "waypoints are no track";
    EXPECT_EQ(c.track.points()[0], (TrackPoint{T0, 47.0, 8.0}));

    const std::pair<QByteArray, TrackStatus> refused[] = {
        {"<kml/>", TrackStatus::NotRecognised}, {"not xml", TrackStatus::NotRecognised},
        {"<gpx><trk><trkseg><trkpt lat='1' lon='1'><time>2026-06-11T10:00:00Z</time></trkpt>", TrackStatus::Damaged},
        {"<gpx><trk/></gpx>", TrackStatus::NoTimes}};
    for (const auto& [bytes, status] : refused) {
        QByteArray b = bytes;
        QBuffer d(&b);
        d.open(QIODevice::ReadOnly);
        EXPECT_EQ(readGpxTrack(d).status, status) << bytes.constData();
    }

    QByteArray nmea = "$GPGGA,100000.00,4700.0000,N,00800.0000,E,1,08,0.9,400.0,M,,,,*00\r\n"
                      "$GPRMC,100010.50,A,4700.0600,N,00800.0000,E,0.0,0.0,110626,,,A*54\r\n"
                      "$GPRMC,100000.00,A,4700.0000,N,00800.0000,E,0.0,0.0,110626,,,A*56\r\n"
                      "$GPRMC,100005.00,A,4700.0000,N,00800.0000,E,0.0,0.0,110626,,,A*00\r\n"   // bad checksum
                      "$GPRMC,100006.00,V,,,,,,,110626,,,N\r\n";                                  // no fix
    QBuffer log(&nmea);
    log.open(QIODevice::ReadOnly);
    const TrackContents n = readTrack(log);
    EXPECT_EQ(n.status, TrackStatus::Ok);
    EXPECT_EQ(n.skipped, 2);
    ASSERT_EQ(n.track.points().size(), 2u);
    EXPECT_EQ(n.track.points()[0], (TrackPoint{T0, 47.0, 8.0}));
    EXPECT_EQ(n.track.points()[1].time, T0 + 10'500);
    EXPECT_NEAR(n.track.points()[1].latitude, 47.001, 1e-9);

    EXPECT_EQ(import::kismetTime("Thu Jun 11 10:00:00 2026"), T0);
    EXPECT_EQ(import::kismetTime("Thu Jun  4 10:00:00 2026"), T0 - 7 * 86'400'000);
    EXPECT_EQ(import::kismetTime("yesterday"), 0);
    EXPECT_EQ(import::kismetTime(QByteArray(100, 'x')), 0);
}

} // namespace
} // namespace aero::track
