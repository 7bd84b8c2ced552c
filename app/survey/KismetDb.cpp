#include "survey/KismetDb.h"

#include "domain/ObservationFacts.h"
#include "domain/SqliteBounds.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <sqlite3.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace aero::import {
namespace {

constexpr int ProgressEvery = 1024;
// A device record is a few kilobytes; a larger one is not parsed rather than held twice over.
constexpr qsizetype MaxDeviceJson = 4 * 1024 * 1024;

struct DbClose {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StmtFinalize {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Db = std::unique_ptr<sqlite3, DbClose>;
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalize>;

QByteArrayView columnBytes(sqlite3_stmt* s, int column)
{
    const void* data = sqlite3_column_blob(s, column);
    const int size = sqlite3_column_bytes(s, column);
    return data ? QByteArrayView(static_cast<const char*>(data), size) : QByteArrayView();
}

bool validPosition(double lat, double lon)
{
    return std::isfinite(lat) && std::isfinite(lon) && (lat != 0.0 || lon != 0.0) && lat >= -90 && lat <= 90
           && lon >= -180 && lon <= 180;
}

// What the device JSON says about one AP.
struct DeviceFacts {
    QString ssid;
    bool encrypted = false;
    bool adHoc = false;
    Observation seen;
    double peakLat = 0, peakLon = 0;   // where the device's strongest signal was heard
};

bool cryptTextEncrypted(const QString& crypt)
{
    const QString c = crypt.trimmed();
    return !c.isEmpty() && c.compare(QLatin1String("None"), Qt::CaseInsensitive) != 0
           && c.compare(QLatin1String("Open"), Qt::CaseInsensitive) != 0;
}

DeviceFacts deviceFacts(QByteArrayView json, const QString& type)
{
    DeviceFacts f;
    f.adHoc = type.contains(QLatin1String("Ad-Hoc"), Qt::CaseInsensitive);
    if (json.size() > MaxDeviceJson)
        return f;   // the AP still counts, as an open network without a name
    const QJsonObject device = QJsonDocument::fromJson(json.toByteArray()).object();
    const QString crypt = device.value(QLatin1String("kismet.device.base.crypt")).toString();
    f.encrypted = cryptTextEncrypted(crypt);
    f.seen.capabilities = boundedCapabilities(crypt);
    f.seen.security = securityClassOf(crypt);
    f.seen.channel = plausibleChannel(device.value(QLatin1String("kismet.device.base.channel")).toString().toLongLong());
    f.seen.frequencyMHz = plausibleFrequency(device.value(QLatin1String("kismet.device.base.frequency")).toDouble() / 1000);
    f.seen.band = bandOf(f.seen.channel, f.seen.frequencyMHz);
    if (f.seen.channel == 0)
        f.seen.channel = channelOf(f.seen.frequencyMHz);
    const QJsonArray peak = device.value(QLatin1String("kismet.device.base.signal"))
                                .toObject()
                                .value(QLatin1String("kismet.common.signal.peak_loc"))
                                .toObject()
                                .value(QLatin1String("kismet.common.location.geopoint"))
                                .toArray();
    if (peak.size() >= 2) {   // [lon, lat]
        f.peakLon = peak[0].toDouble();
        f.peakLat = peak[1].toDouble();
    }
    const QJsonObject dot11 = device.value(QLatin1String("dot11.device")).toObject();
    f.ssid = dot11.value(QLatin1String("dot11.device.last_beaconed_ssid")).toString();
    const QJsonObject beaconed = dot11.value(QLatin1String("dot11.device.last_beaconed_ssid_record")).toObject();
    const QJsonValue map = dot11.value(QLatin1String("dot11.device.advertised_ssid_map"));
    QJsonObject advertised = beaconed;
    if (advertised.isEmpty()) {   // a list in current releases, an object keyed by hash in older ones
        if (map.isArray() && !map.toArray().isEmpty())
            advertised = map.toArray().first().toObject();
        else if (map.isObject() && !map.toObject().isEmpty())
            advertised = map.toObject().begin()->toObject();
    }
    if (f.ssid.isEmpty())
        f.ssid = advertised.value(QLatin1String("dot11.advertisedssid.ssid")).toString();
    if (advertised.value(QLatin1String("dot11.advertisedssid.cloaked")).toInt() == 1)
        f.ssid.clear();
    if (!f.encrypted) {
        const QJsonValue set = advertised.value(QLatin1String("dot11.advertisedssid.crypt_set"));
        f.encrypted = set.toDouble() > 1;   // 0 none, 1 unknown, higher bits WEP/WPA/...
    }
    if (f.ssid.isEmpty())
        f.ssid = device.value(QLatin1String("kismet.device.base.name")).toString();
    f.seen.hidden = f.ssid.trimmed().isEmpty();
    f.seen.originalSsid = f.seen.hidden ? QString() : boundedSsid(f.ssid);
    return f;
}

bool isWifiAp(const QString& phy, const QString& type)
{
    if (phy != QLatin1String("IEEE802.11"))
        return false;
    return type.endsWith(QLatin1String(" AP")) || type.contains(QLatin1String("Ad-Hoc"), Qt::CaseInsensitive);
}

class DbReader {
public:
    DbReader(sqlite3* db, const ReadProgress& progress) : m_db(db), m_progress(progress) {}

    SurveyContents read()
    {
        if (!hasTable("devices")) {
            m_out.status = m_failed ? SurveyStatus::Damaged : SurveyStatus::NotRecognised;
            return std::move(m_out);
        }
        readDevices();
        if (m_out.status == SurveyStatus::Ok && hasTable("packets"))
            readPackets();
        m_merger.takeInto(m_out);
        return std::move(m_out);
    }

private:
    void fail(const char* where)
    {
        m_failed = true;
        m_out.status = SurveyStatus::Damaged;
        m_out.detail = QStringLiteral("%1: %2").arg(QLatin1String(where), QString::fromUtf8(sqlite3_errmsg(m_db)));
    }

    Stmt prepare(const char* sql)
    {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &s, nullptr) != SQLITE_OK) {
            sqlite3_finalize(s);
            return {};
        }
        return Stmt(s);
    }

    bool hasTable(const char* name)
    {
        Stmt s = prepare("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1");
        if (!s) {
            const int code = sqlite3_errcode(m_db);
            if (code != SQLITE_NOTADB)
                fail("schema");
            return false;
        }
        sqlite3_bind_text(s.get(), 1, name, -1, SQLITE_STATIC);
        const int rc = sqlite3_step(s.get());
        if (rc != SQLITE_ROW && rc != SQLITE_DONE && sqlite3_errcode(m_db) != SQLITE_NOTADB)
            fail("schema");
        return rc == SQLITE_ROW;
    }

    void readDevices()
    {
        Stmt s = prepare("SELECT devmac, phyname, type, strongest_signal, avg_lat, avg_lon, device, first_time, last_time FROM devices");
        if (!s) {
            fail("devices");
            return;
        }
        int rc;
        qint64 row = 0;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
            m_out.stoppedAt = ++row;
            if (m_progress && row % ProgressEvery == 0)
                m_progress();
            const QString phy = QString::fromUtf8(columnBytes(s.get(), 1));
            const QString type = QString::fromUtf8(columnBytes(s.get(), 2));
            if (!isWifiAp(phy, type)) {
                ++m_out.otherKinds;
                continue;
            }
            const QByteArrayView mac = macField(columnBytes(s.get(), 0));
            if (mac.isEmpty()) {
                m_out.skip(row);
                continue;
            }
            ++m_out.observations;
            DeviceFacts facts = deviceFacts(columnBytes(s.get(), 6), type);
            AccessPoint ap;
            ap.MAC = storedMac(mac);
            ap.SSID = storedSsid(facts.ssid);
            const double signal = sqlite3_column_double(s.get(), 3);
            ap.Signal = plausibleSignal(signal);
            // The strongest-signal location the device record keeps, before the average.
            const double lat = sqlite3_column_double(s.get(), 4), lon = sqlite3_column_double(s.get(), 5);
            if (validPosition(facts.peakLat, facts.peakLon)) {
                ap.Latitude = facts.peakLat;
                ap.Longitude = facts.peakLon;
            } else if (validPosition(lat, lon)) {
                ap.Latitude = lat;
                ap.Longitude = lon;
            }
            setSecurity(ap, facts.encrypted, facts.adHoc);
            const auto seconds = [&s](int column) {   // bounded before scaling: a lying log cannot overflow
                const qint64 t = sqlite3_column_int64(s.get(), column);
                return t > 0 && t < 8'000'000'000LL ? plausibleTime(t * 1000) : 0;
            };
            facts.seen.firstSeen = seconds(7);
            facts.seen.lastSeen = std::max(facts.seen.firstSeen, seconds(8));
            facts.seen.sourceLine = row;
            m_merger.sighting(ap, facts.seen);
        }
        if (rc != SQLITE_DONE)
            fail("devices");
    }

    // The strongest located packet sent by each AP moves it there (and its signal up).
    void readPackets()
    {
        Stmt s = prepare("SELECT sourcemac, lat, lon, signal FROM packets WHERE lat != 0 OR lon != 0");
        if (!s)
            return;   // a packets table of another shape: the device positions stand
        struct Best {
            double lat, lon;
            float signal;
        };
        QHash<int, Best> best;
        int rc;
        qint64 row = 0;
        while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
            if (m_progress && ++row % (ProgressEvery * 16) == 0)
                m_progress();
            const int index = m_merger.find(macField(columnBytes(s.get(), 0)));
            if (index < 0)
                continue;
            const double lat = sqlite3_column_double(s.get(), 1), lon = sqlite3_column_double(s.get(), 2);
            const double signal = sqlite3_column_double(s.get(), 3);
            if (!validPosition(lat, lon) || !std::isfinite(signal) || signal == 0)
                continue;
            auto it = best.find(index);
            if (it == best.end())
                best.insert(index, {lat, lon, plausibleSignal(signal)});
            else if (signal > it->signal)
                *it = {lat, lon, plausibleSignal(signal)};
        }
        if (rc != SQLITE_DONE)
            fail("packets");   // the positions found so far are still used
        for (auto it = best.cbegin(); it != best.cend(); ++it) {
            AccessPoint& ap = m_merger.at(it.key());
            ap.Latitude = it->lat;
            ap.Longitude = it->lon;
            ap.Signal = std::max(ap.Signal, it->signal);
        }
    }

    sqlite3* m_db;
    const ReadProgress& m_progress;
    SurveyContents m_out;
    SightingMerger m_merger;
    bool m_failed = false;
};

SurveyContents openFailed(sqlite3* db)
{
    SurveyContents out;
    out.status = SurveyStatus::NotRecognised;
    if (db)
        out.detail = QString::fromUtf8(sqlite3_errmsg(db));
    return out;
}

// The reader under bounds: the progress callback also runs while one statement computes for
// long (a crafted generated column), so the window stays responsive and Cancel works there too.
SurveyContents boundedRead(sqlite3* db, const ReadProgress& progress)
{
    SqliteBounds bounds(db, [&progress] {
        if (progress)
            progress();
        return true;
    });
    SurveyContents out = DbReader(db, progress).read();
    bounds.rethrowIfStopped();
    return out;
}

} // namespace

bool looksLikeSqlite(QByteArrayView head)
{
    return head.startsWith(QByteArrayView("SQLite format 3\0", 16));
}

SurveyContents readKismetDb(const QString& path, const ReadProgress& progress)
{
    // immutable=1: SQLite takes no lock and never writes a journal or the file itself, so a
    // log still open in Kismet, on read-only media, or owned by another user reads the same.
    QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
    uri += "?mode=ro&immutable=1";
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(uri.constData(), &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    Db db(raw);
    if (rc != SQLITE_OK)
        return openFailed(raw);
    return boundedRead(db.get(), progress);
}

SurveyContents readKismetDbBytes(QByteArrayView bytes, const ReadProgress& progress)
{
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        Db db(raw);
        return openFailed(raw);
    }
    Db db(raw);
    if (bytes.isEmpty())
        return openFailed(nullptr);
    auto* copy = static_cast<unsigned char*>(sqlite3_malloc64(static_cast<sqlite3_uint64>(bytes.size())));
    if (!copy)
        return openFailed(raw);
    std::memcpy(copy, bytes.data(), static_cast<std::size_t>(bytes.size()));
    const auto size = static_cast<sqlite3_int64>(bytes.size());
    if (sqlite3_deserialize(raw, "main", copy, size, size, SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY)
        != SQLITE_OK)
        return openFailed(raw);
    return boundedRead(db.get(), progress);
}

} // namespace aero::import
