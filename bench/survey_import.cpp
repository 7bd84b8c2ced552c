// Today's survey logs imported through the window, de-duplicated, listed and plotted:
// a WiGLE CSV of 1,000,000 rows (100,000 APs seen ten times each), a Kismet netxml of 20,000
// networks, and a 200 MB Kismet log with 50,000 devices. The inputs are written by the
// benchmark before the timing starts.
#include "Program.h"
#include "ui/ToolbarTable.h"
#include "window/frmPlotter.h"
#include "domain/ApListExport.h"
#include "survey/SurveyTableImport.h"
#include "map/MapControl.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <random>

namespace {

QByteArray macOf(int i)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "02:%02x:%02x:%02x:%02x:%02x", (i >> 24) & 0xff, (i >> 16) & 0xff, (i >> 8) & 0xff,
                  i & 0xff, 0x42);
    return buf;
}

void writeWigle(const QString& path, int rows, int aps)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    QByteArray out = "WigleWifi-1.6,appRelease=2.70,model=bench,release=14,device=bench,display=,board=,brand=bench,"
                     "star=Sol,body=3,subBody=0\n"
                     "MAC,SSID,AuthMode,FirstSeen,Channel,Frequency,RSSI,CurrentLatitude,CurrentLongitude,AltitudeMeters,"
                     "AccuracyMeters,RCOIs,MfgrId,Type\n";
    std::mt19937 rng(7);
    char line[256];
    for (int r = 0; r < rows; ++r) {
        const int ap = r % aps;
        const double lat = 37.70 + (ap % 1000) * 0.0001 + (rng() % 100) * 0.000001;
        const double lon = -122.50 + (ap / 1000) * 0.0001 + (rng() % 100) * 0.000001;
        const int n = std::snprintf(line, sizeof line, "%s,net-%d,%s,2026-06-11 12:00:00,6,2437,%d,%.7f,%.7f,15,8,,,WIFI\n",
                                    macOf(ap).constData(), ap % 5000, ap % 3 ? "[WPA2-PSK-CCMP][ESS]" : "[ESS]",
                                    -40 - static_cast<int>(rng() % 55), lat, lon);
        out.append(line, n);
        if (out.size() > (1 << 22)) {
            f.write(out);
            out.clear();
        }
    }
    f.write(out);
}

void writeNetxml(const QString& path, int networks)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    QByteArray out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<detection-run kismet-version=\"2016.07.R1\">\n";
    char block[2048];
    for (int i = 0; i < networks; ++i) {
        const double lat = 37.70 + (i % 200) * 0.0005, lon = -122.50 + (i / 200) * 0.0005;
        const int n = std::snprintf(
            block, sizeof block,
            "<wireless-network number=\"%d\" type=\"%s\" first-time=\"x\" last-time=\"x\">\n"
            "<SSID first-time=\"x\" last-time=\"x\"><type>Beacon</type><max-rate>54.000000</max-rate><packets>9</packets>"
            "<beaconrate>10</beaconrate><encryption>%s</encryption><essid cloaked=\"false\">net-%d</essid></SSID>\n"
            "<BSSID>%s</BSSID><manuf>Unknown</manuf><channel>6</channel><freqmhz>2437 9</freqmhz>\n"
            "<packets><LLC>9</LLC><data>0</data><crypt>0</crypt><total>9</total></packets>\n"
            "<snr-info><last_signal_dbm>-70</last_signal_dbm><min_signal_dbm>-90</min_signal_dbm>"
            "<max_signal_dbm>%d</max_signal_dbm></snr-info>\n"
            "<gps-info><min-lat>%.7f</min-lat><min-lon>%.7f</min-lon><max-lat>%.7f</max-lat><max-lon>%.7f</max-lon>"
            "<peak-lat>%.7f</peak-lat><peak-lon>%.7f</peak-lon><avg-lat>%.7f</avg-lat><avg-lon>%.7f</avg-lon></gps-info>\n"
            "<wireless-client number=\"1\" type=\"established\"><client-mac>00:11:22:33:44:55</client-mac>"
            "<snr-info><max_signal_dbm>-60</max_signal_dbm></snr-info></wireless-client>\n"
            "</wireless-network>\n",
            i + 1, i % 50 ? "infrastructure" : "ad-hoc", i % 3 ? "WPA+AES-CCM" : "None", i, macOf(i).toUpper().constData(),
            -40 - i % 55, lat - 0.001, lon - 0.001, lat + 0.001, lon + 0.001, lat, lon, lat, lon);
        out.append(block, n);
    }
    out += "</detection-run>\n";
    f.write(out);
}

void exec(sqlite3* db, const char* sql)
{
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

// Kismet log tables as db_version 8 lays them out; devices with a device JSON of about 1 KB
// each, and located packets with 400-byte payloads up to the wanted size.
void writeKismetDb(const QString& path, int devices, qint64 bytes)
{
    sqlite3* db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
             "CREATE TABLE KISMET (kismet_version TEXT, db_version INT, db_module TEXT);"
             "CREATE TABLE devices (first_time INT, last_time INT, devkey TEXT, phyname TEXT, devmac TEXT, "
             "strongest_signal INT, min_lat REAL, min_lon REAL, max_lat REAL, max_lon REAL, avg_lat REAL, avg_lon REAL, "
             "bytes_data INT, type TEXT, device BLOB, UNIQUE(phyname, devmac) ON CONFLICT REPLACE);"
             "CREATE TABLE packets (ts_sec INT, ts_usec INT, phyname TEXT, sourcemac TEXT, destmac TEXT, transmac TEXT, "
             "frequency REAL, devkey TEXT, lat REAL, lon REAL, alt REAL, speed REAL, heading REAL, packet_len INT, "
             "signal INT, datasource TEXT, dlt INT, packet BLOB, error INT, tags TEXT, datarate REAL, hash INT, packetid INT);"
             "INSERT INTO KISMET VALUES ('2023.07.R1', 8, 'kismetlog'); BEGIN;");
    sqlite3_stmt* dev = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO devices VALUES (1,2,'k','IEEE802.11',?1,?2,0,0,0,0,?3,?4,0,?5,?6)", -1, &dev, nullptr);
    const QByteArray filler(700, 'x');
    for (int i = 0; i < devices; ++i) {
        const QByteArray mac = macOf(i).toUpper();
        const bool ap = i % 10 != 0;   // every tenth device is a client
        const QByteArray json = "{\"kismet.device.base.macaddr\":\"" + mac + "\",\"kismet.device.base.crypt\":\""
                                + (i % 3 ? "WPA2-PSK" : "Open") + "\",\"kismet.device.base.name\":\"net-"
                                + QByteArray::number(i) + "\",\"kismet.device.base.seenby\":\"" + filler
                                + "\",\"dot11.device\":{\"dot11.device.last_beaconed_ssid_record\":"
                                  "{\"dot11.advertisedssid.ssid\":\"net-"
                                + QByteArray::number(i) + "\",\"dot11.advertisedssid.crypt_set\":16}}}";
        sqlite3_bind_text(dev, 1, mac.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(dev, 2, -40 - i % 55);
        sqlite3_bind_double(dev, 3, 37.70 + (i % 200) * 0.0005);
        sqlite3_bind_double(dev, 4, -122.50 + (i / 200) * 0.0005);
        sqlite3_bind_text(dev, 5, ap ? "Wi-Fi AP" : "Wi-Fi Client", -1, SQLITE_STATIC);
        sqlite3_bind_blob(dev, 6, json.constData(), static_cast<int>(json.size()), SQLITE_TRANSIENT);
        sqlite3_step(dev);
        sqlite3_reset(dev);
    }
    sqlite3_finalize(dev);
    sqlite3_stmt* pkt = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO packets VALUES (1,0,'IEEE802.11',?1,'FF:FF:FF:FF:FF:FF',?1,2437000,'0',?2,?3,"
                           "15,5,180,400,?4,'src',127,?5,0,'',54,0,0)", -1, &pkt, nullptr);
    const QByteArray payload(400, '\x5a');
    const qint64 count = (bytes - devices * 1100LL) / 640;   // a packet row takes about 640 bytes
    for (qint64 k = 0; k < count; ++k) {
        const int i = static_cast<int>(k % devices);
        const QByteArray mac = macOf(i).toUpper();
        sqlite3_bind_text(pkt, 1, mac.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(pkt, 2, 37.70 + (i % 200) * 0.0005 + (k % 7) * 0.00001);
        sqlite3_bind_double(pkt, 3, -122.50 + (i / 200) * 0.0005);
        sqlite3_bind_int(pkt, 4, -40 - static_cast<int>(k % 55));
        sqlite3_bind_blob(pkt, 5, payload.constData(), static_cast<int>(payload.size()), SQLITE_STATIC);
        sqlite3_step(pkt);
        sqlite3_reset(pkt);
    }
    sqlite3_finalize(pkt);
    exec(db, "COMMIT;");
    sqlite3_close(db);
}

struct Fixture {
    QTemporaryDir settingsDir;
    aero::ScriptedDialogs dialogs;
    std::unique_ptr<aero::Program> program;

    Fixture()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
        QSettings s(QStringLiteral("Aeroplotter"), QStringLiteral("Aeroplotter"));
        s.setValue("Config/VersionID", "1.5.0");
        s.setValue("Config/TilesEnabled", "0");
        s.sync();
        program = std::make_unique<aero::Program>(dialogs, false);
        program->window().show();
        program->window().tbMain_ButtonMenuClick(aero::entries::MapNewNorthAmerica);
    }
};

QTemporaryDir& inputs()
{
    static QTemporaryDir dir;
    return dir;
}

void importThroughWindow(benchmark::State& state, const QString& file, int entry)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto f = std::make_unique<Fixture>();
        f->dialogs.files = {file};
        state.ResumeTiming();
        f->program->window().tbMain_ButtonMenuClick(aero::buttons::Import, entry);
        state.PauseTiming();
        state.counters["APs"] = f->program->context().apList.count();
        state.counters["markers"] = f->program->mapa().markerCount();
        state.counters["messages"] = static_cast<double>(f->dialogs.shown.size());
        f.reset();
        state.ResumeTiming();
    }
}

void BM_WigleCsv1MRows100kAps(benchmark::State& state)
{
    const QString path = inputs().filePath("bench-wigle.csv");
    if (!QFile::exists(path))
        writeWigle(path, 1000000, 100000);
    state.counters["MB"] = static_cast<double>(QFile(path).size()) / 1e6;
    importThroughWindow(state, path, 3);
}

void BM_Netxml20000Networks(benchmark::State& state)
{
    const QString path = inputs().filePath("bench.netxml");
    if (!QFile::exists(path))
        writeNetxml(path, 20000);
    state.counters["MB"] = static_cast<double>(QFile(path).size()) / 1e6;
    importThroughWindow(state, path, 4);
}

void BM_KismetDb200MB50kDevices(benchmark::State& state)
{
    const QString path = inputs().filePath("bench.kismet");
    if (!QFile::exists(path))
        writeKismetDb(path, 50000, 200LL * 1000 * 1000);
    state.counters["MB"] = static_cast<double>(QFile(path).size()) / 1e6;
    importThroughWindow(state, path, 5);
}

// The readers alone, to tell reading from listing and plotting.
void readOnly(benchmark::State& state, const QString& path, aero::import::SurveyFormat format)
{
    for (auto _ : state) {
        const auto c = aero::import::readSurveyFile(format, path);
        state.counters["APs"] = static_cast<double>(c.records.size());
    }
}

void BM_ReadWigleCsv(benchmark::State& state)
{
    readOnly(state, inputs().filePath("bench-wigle.csv"), aero::import::SurveyFormat::WigleCsv);
}

void BM_ReadNetxml(benchmark::State& state)
{
    readOnly(state, inputs().filePath("bench.netxml"), aero::import::SurveyFormat::KismetNetxml);
}

void BM_ReadKismetDb(benchmark::State& state)
{
    readOnly(state, inputs().filePath("bench.kismet"), aero::import::SurveyFormat::KismetDb);
}

// The exports of a full table with what the logs said of every AP: GeoJSON streamed as text and
// the WiGLE CSV, both into memory.
void writeExport(benchmark::State& state, aero::ApListFormat format)
{
    static const aero::APList table = [] {
        const QString path = inputs().filePath("bench-wigle.csv");
        if (!QFile::exists(path))
            writeWigle(path, 1000000, 100000);
        aero::APList t;
        const aero::import::SurveyImport r = aero::import::importSurvey(t, aero::import::SurveyFormat::WigleCsv, path);
        (void)r;
        return t;
    }();
    for (auto _ : state) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        aero::writeApList(table, out, format);
        state.counters["MB"] = static_cast<double>(out.size()) / 1e6;
    }
    state.counters["APs"] = table.count();
}

void BM_WriteGeoJson100kAps(benchmark::State& state)
{
    writeExport(state, aero::ApListFormat::GeoJson);
}

void BM_WriteWigleCsv100kAps(benchmark::State& state)
{
    writeExport(state, aero::ApListFormat::WigleCsv);
}

} // namespace

BENCHMARK(BM_WriteGeoJson100kAps)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WriteWigleCsv100kAps)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_WigleCsv1MRows100kAps)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_Netxml20000Networks)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_KismetDb200MB50kDevices)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReadWigleCsv)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReadNetxml)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReadKismetDb)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
