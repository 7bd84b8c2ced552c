#pragma once
// A driven track with times, to place survey records that have times but no position.
//
//   GPX 1.0/1.1   <trkpt lat="47.37" lon="8.54"><time>2026-06-11T10:00:00Z</time></trkpt>
//   NMEA 0183     $GPRMC,100000.00,A,4722.2000,N,00832.4000,E,0.0,0.0,110626,,,A*6C
//                 (the recommended-minimum sentence is the one that carries the date)
//
// Points without a time or with a bad position are skipped and counted. Readers take a device
// and return a result; the track is sorted by time.
#include <QString>
#include <QtGlobal>
#include <vector>

class QIODevice;

namespace aero::track {

struct TrackPoint {
    qint64 time = 0;   // ms since 1970 UTC
    double latitude = 0.0;
    double longitude = 0.0;
    friend bool operator==(const TrackPoint&, const TrackPoint&) = default;
};

// A consumer GPS fix is good to about this, and a GPX file rarely says better.
inline constexpr double DefaultTrackErrorM = 10.0;
// Points beyond this are refused: a track of a week at one point per second is far less.
inline constexpr qint64 MaxTrackPoints = 5'000'000;

class Track {
public:
    Track() = default;
    explicit Track(std::vector<TrackPoint> points, double errorM = DefaultTrackErrorM);

    const std::vector<TrackPoint>& points() const { return m_points; }
    bool isEmpty() const { return m_points.empty(); }
    double errorM() const { return m_errorM; }
    qint64 start() const { return m_points.empty() ? 0 : m_points.front().time; }
    qint64 end() const { return m_points.empty() ? 0 : m_points.back().time; }

    // Position at `time`, between the points around it; false outside the track or in a gap
    // longer than MaxGapMs (the receiver had no fix there).
    static constexpr qint64 MaxGapMs = 120'000;
    bool covers(qint64 time) const;
    TrackPoint at(qint64 time) const;   // time must be covered
    // Metres driven between two covered times.
    double drivenBetween(qint64 from, qint64 to) const;

private:
    std::size_t segmentOf(qint64 time) const;
    double drivenTo(qint64 time) const;

    std::vector<TrackPoint> m_points;
    std::vector<double> m_driven;   // metres from the first point
    double m_errorM = DefaultTrackErrorM;
};

enum class TrackStatus { Ok, NotRecognised, NoTimes, Damaged };

struct TrackContents {
    TrackStatus status = TrackStatus::Ok;
    QString detail;
    Track track;
    qint64 skipped = 0;   // points without a time or a usable position
};

TrackContents readGpxTrack(QIODevice& device);
TrackContents readNmeaTrack(QIODevice& device);
// Either, told by the content: a GPX document or NMEA sentences.
TrackContents readTrack(QIODevice& device);

// The message for a track that cannot be used; empty for Ok.
QString trackMessage(const TrackContents& contents, const QString& path);

} // namespace aero::track
