// Today's networks (written by examples/make-modern-logs.py) in every format: what each log says of
// security, channel, first sighting and name survives import, the WiGLE CSV export and a saved map.
#include "domain/ApListExport.h"
#include "domain/ApMap.h"
#include "domain/ApSymbols.h"
#include "domain/KmlReader.h"
#include "domain/KmlWriter.h"
#include "domain/ObservationFacts.h"
#include "domain/ObservationRecords.h"
#include "domain/SurveyExport.h"
#include "domain/WigleCsv.h"
#include "survey/SurveyTableImport.h"

#include <QBuffer>
#include <QMap>

#include <gtest/gtest.h>

using namespace aero;
using namespace aero::import;

namespace {

QString modernFile(const char* name)
{
    return QStringLiteral(AEROPLOTTER_SURVEY_TEST_DATA "/") + QLatin1String(name);
}

struct Fact {
    SecurityClass security;
    int channel;
    QString firstSeen;       // ISO, UTC
    QString ssid;            // as the log wrote it; empty when hidden
    friend bool operator==(const Fact&, const Fact&) = default;
};

void PrintTo(const Fact& f, std::ostream* os)
{
    *os << securityName(f.security).toStdString() << " ch" << f.channel << " " << f.firstSeen.toStdString() << " '"
        << f.ssid.toStdString() << "'";
}

const QString Cafe = QStringLiteral("Caf\u00e9");

// What the logs say, by MAC.
const QMap<QString, Fact> Source{
    {"00:14:6C:00:00:01", {SecurityClass::WEP, 6, "2026-06-11T12:30:00Z", "OldCafe"}},
    {"00:14:6C:00:00:02", {SecurityClass::WPA3, 37, "2026-06-11T12:30:01Z", "Home6"}},
    {"00:14:6C:00:00:03", {SecurityClass::OWE, 36, "2026-06-11T12:30:02Z", "FreeOWE"}},
    {"00:14:6C:00:00:04", {SecurityClass::Enterprise, 149, "2026-06-11T12:30:03Z", "Corp"}},
    {"00:14:6C:00:00:05", {SecurityClass::WPA2, 11, "2026-06-11T12:30:04Z", ""}},
    {"00:14:6C:00:00:06", {SecurityClass::WPA2, 1, "2026-06-11T12:30:05Z", Cafe}},
    {"00:14:6C:00:00:07", {SecurityClass::Open, 6, "2026-06-11T12:30:06Z", Cafe}},
};

Fact factOf(const Observation& o, const QString& ssid)
{
    return {o.security, o.channel, isoTime(o.firstSeen), ssid};
}

// The facts a WiGLE CSV says, read back by the program's own reader.
QMap<QString, Fact> wigleFacts(const QByteArray& csv)
{
    SurveyContents back = readWigleCsv(csv);
    EXPECT_EQ(back.status, SurveyStatus::Ok);
    QMap<QString, Fact> out;
    for (std::size_t i = 0; i < back.records.size(); ++i)
        out.insert(back.records[i].MAC, factOf(back.observed[i], back.observed[i].originalSsid));
    return out;
}

QByteArray exported(const APList& table)
{
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    EXPECT_TRUE(writeApList(table, out, ApListFormat::WigleCsv));
    return out.data();
}

TEST(ModernLogs, EachFormatKeepsSecurityChannelFirstSeenAndNameThroughTheWigleExport)
{
    struct Case {
        SurveyFormat format;
        const char* file;
        std::vector<const char*> macs;   // what the format can say at all
        bool placed;                     // a Kismet .csv has no positions, so its table is compared
        bool knowsClass;                 // a text summary tells only privacy
    } cases[] = {
        {SurveyFormat::WigleCsv, "modern-wigle.csv", {}, true, true},
        {SurveyFormat::WigleCsv, "modern-wigle.csv.gz", {}, true, true},
        {SurveyFormat::KismetNetxml, "modern.netxml", {}, true, true},
        {SurveyFormat::KismetDb, "modern.kismet", {}, true, true},
        {SurveyFormat::KismetCsv, "modern-kismet.csv", {}, false, true},
        {SurveyFormat::NetStumblerSummary, "modern-summary.txt",
         {"00:14:6C:00:00:01", "00:14:6C:00:00:05", "00:14:6C:00:00:06"}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(detectSurveyFile(modernFile(c.file)), c.format);
        APList table;
        const SurveyImport r = importSurvey(table, c.format, modernFile(c.file));
        ASSERT_TRUE(r.complete()) << r.detail.toStdString();
        QMap<QString, Fact> want = Source;
        if (!c.macs.empty()) {
            want.clear();
            for (const char* mac : c.macs)
                want.insert(mac, Source.value(mac));
        }
        if (!c.knowsClass)
            for (Fact& f : want)
                f.security = SecurityClass::Unknown;   // privacy without its protocol
        QMap<QString, Fact> got;
        if (c.placed) {
            got = wigleFacts(exported(table));
        } else {
            for (int slot = 1; slot <= table.count(); ++slot)
                got.insert(table.at(slot).MAC, factOf(table.observation(slot), table.observation(slot).originalSsid));
        }
        EXPECT_EQ(got, want);
        for (int slot = 1; slot <= table.count(); ++slot) {
            const Observation& o = table.observation(slot);
            EXPECT_EQ(o.sourceFile, modernFile(c.file));
            EXPECT_EQ(o.sourceFormat, surveyFormatName(c.format));
            EXPECT_GT(o.sourceLine, 0);
            EXPECT_EQ(o.hidden, table.at(slot).MAC == "00:14:6C:00:00:05");
        }
        // Named slots keep the table's own rules: the hidden network is "BLANK SSID".
        EXPECT_GT(table.findBySSID(QStringLiteral("BLANK SSID")), 0);
    }
}

TEST(ModernLogs, ASavedMapReopensWithTheSameObservationsAndUnplacedApsAreCountedNotWrittenAtZero)
{
    APList table;
    ASSERT_TRUE(importSurvey(table, SurveyFormat::WigleCsv, modernFile("modern-wigle.csv")).complete());
    table.NextAP = table.findFirstFree();
    AccessPoint unplaced;
    unplaced.SSID = QStringLiteral("nowhere");
    unplaced.MAC = QStringLiteral("00:14:6C:00:00:99");
    table.append(unplaced);
    const QByteArray before = exported(table);
    EXPECT_EQ(unplacedApCount(table, ApListFormat::WigleCsv), 1);
    EXPECT_FALSE(before.contains("00:14:6C:00:00:99"));

    QBuffer kml;
    kml.open(QIODevice::ReadWrite);
    ASSERT_TRUE(writeKml(tableMapFile(table, {}), kml));
    const KmlResult read = readKml(kml.data());
    ASSERT_TRUE(read.ok());
    // The map holds markers named by SSID with their notes; the table is rebuilt from them.
    APList reopened;
    reopened.NextAP = 1;
    for (const MarkerRecord& m : read.data.markers) {
        AccessPoint ap;
        ap.SSID = m.name;
        readApNote(m.note, ap);
        ap.Latitude = m.where.lat;
        ap.Longitude = m.where.lon;
        reopened.append(ap);
    }
    QStringList records;
    for (const auto& [key, value] : read.data.programData)
        if (key == ObservationKey)
            records << value;
    EXPECT_EQ(restoreObservations(reopened, records), 7);
    for (int slot = 1; slot <= reopened.count(); ++slot)
        EXPECT_EQ(reopened.observation(slot), table.observation(table.findBySSID(reopened.at(slot).SSID)));
    EXPECT_EQ(exported(reopened), before);
}

TEST(ModernLogs, LyingFieldsAreUnknownAndTheRestOfTheRecordStays)
{
    const QByteArray log = "MAC,SSID,AuthMode,FirstSeen,Channel,Frequency,RSSI,CurrentLatitude,CurrentLongitude,Type\n"
                           "00:14:6c:00:00:01,liar,[UNKNOWN],1901-01-01 00:00:00,9999,99999,-60,37.7,-122.4,WIFI\n"
                           "00:14:6c:00:00:02,future,"
                           + QByteArray(10000, 'W') + ",2100-01-01 00:00:00,6,2437,-61,37.7,-122.4,WIFI\n";
    const SurveyContents c = readWigleCsv(log);
    ASSERT_EQ(c.records.size(), 2u);
    const Observation& liar = c.observed[0];
    EXPECT_EQ(liar.firstSeen, 0);
    EXPECT_EQ(liar.channel, 0);
    EXPECT_EQ(liar.frequencyMHz, 0);
    EXPECT_EQ(liar.security, SecurityClass::Unknown);
    EXPECT_EQ(c.records[0].WEP, "");   // unknown, not open
    EXPECT_EQ(c.records[0].Signal, -60.0f);
    EXPECT_EQ(c.observed[1].firstSeen, 0);
    EXPECT_EQ(c.observed[1].capabilities.size(), MaxCapabilities);
    EXPECT_EQ(c.observed[1].channel, 6);
}

} // namespace
