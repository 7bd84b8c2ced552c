// Today's survey logs (written by examples/make-survey-logs.py, with the table each must give
// worked out by that script) read against their golden tables; damaged and foreign input; the
// exports of the AP table.
#include "ImportTestSupport.h"
#include "domain/APList.h"
#include "survey/KismetDb.h"
#include "domain/KismetNetxml.h"
#include "domain/SurveyExport.h"
#include "domain/TableImport.h"
#include "survey/SurveyFormat.h"
#include "survey/SurveyTableImport.h"
#include "domain/WigleCsv.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace aero::import;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using import_test::dataFile;
using import_test::Golden;
using import_test::readGolden;

void expectTable(const std::vector<aero::AccessPoint>& got, const std::vector<aero::AccessPoint>& want)
{
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(want[i].MAC.toStdString());
        EXPECT_EQ(got[i].MAC, want[i].MAC);
        EXPECT_EQ(got[i].SSID, want[i].SSID);
        EXPECT_EQ(got[i].Signal, want[i].Signal);
        EXPECT_NEAR(got[i].Latitude, want[i].Latitude, 1e-7);
        EXPECT_NEAR(got[i].Longitude, want[i].Longitude, 1e-7);
        EXPECT_EQ(got[i].Flags, want[i].Flags);
        EXPECT_EQ(got[i].WEP, want[i].WEP);
        EXPECT_EQ(got[i].Mode, want[i].Mode);
    }
}

struct GoldenCase {
    const char* file;
    const char* expected;
    SurveyFormat format;
};

TEST(SurveyReaders, EachFormatGivesItsGoldenTableStrongestObservationPlacesEachAp)
{
    const GoldenCase cases[] = {
        {"survey-wigle.csv", "survey-wigle.expected", SurveyFormat::WigleCsv},
        {"survey.netxml", "survey-netxml.expected", SurveyFormat::KismetNetxml},
        {"survey.kismet", "survey-kismet.expected", SurveyFormat::KismetDb},
    };
    for (const GoldenCase& c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = dataFile(c.file);
        const QByteArray before = QCryptographicHash::hash(bytesOf(path), QCryptographicHash::Sha256);
        const QDateTime modified = QFileInfo(path).lastModified();
        EXPECT_EQ(detectSurveyFile(path), c.format);
        int progress = 0;
        const SurveyContents got = readSurveyFile(c.format, path, [&] { ++progress; });
        const Golden want = readGolden(c.expected);
        EXPECT_EQ(got.status, SurveyStatus::Ok) << got.detail.toStdString();
        EXPECT_EQ(static_cast<qint64>(got.records.size()), want.records);
        EXPECT_EQ(got.observations, want.observations);
        EXPECT_EQ(got.skipped, want.skipped);
        EXPECT_EQ(got.otherKinds, want.otherKinds);
        expectTable(got.records, want.table);
        // The user's log is never written, locked or given a journal beside it.
        EXPECT_EQ(QCryptographicHash::hash(bytesOf(path), QCryptographicHash::Sha256), before);
        EXPECT_EQ(QFileInfo(path).lastModified(), modified);
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-journal")));
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-wal")));
    }
    // The other two formats and foreign files are told apart by content.
    EXPECT_EQ(detectSurveyFile(import_test::sourceFile(QStringLiteral("examples/sample-summary.txt"))),
              SurveyFormat::NetStumblerSummary);
    EXPECT_EQ(detectSurveyFile(import_test::sourceFile(QStringLiteral("examples/kismet-sample.csv"))), SurveyFormat::KismetCsv);
    EXPECT_EQ(detectSurveyFile(dataFile("survey.gpsxml")), SurveyFormat::Unknown);
    EXPECT_EQ(detectSurveyFile(dataFile("README.md")), SurveyFormat::Unknown);
}

struct BadCase {
    const char* name;
    std::function<SurveyContents()> read;
    SurveyStatus status;
    qsizetype minRecords, maxRecords;
    qint64 skipped;
};

TEST(SurveyReaders, DamagedOrForeignInputGivesAClearStatusAndKeepsWhatWasRead)
{
    const QByteArray wigle = bytesOf(dataFile("survey-wigle.csv"));
    const QByteArray netxml = bytesOf(dataFile("survey.netxml"));
    const QByteArray db = bytesOf(dataFile("survey.kismet"));
    QByteArray garbage(64 * 1024, '\0');
    for (qsizetype i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919 + 13) % 251);
    QByteArray longLine = wigle;
    longLine.insert(wigle.indexOf("00:18:39:a0"), QByteArray(10 * 1024 * 1024, 'x') + "\n");
    const auto xml = [](const QByteArray& bytes) {
        QBuffer b;
        b.setData(bytes);
        b.open(QIODevice::ReadOnly);
        return readKismetNetxml(b);
    };
    QByteArray noRssi = wigle;
    noRssi.replace(",RSSI,", ",Signal,");
    // A MAC that is only a byte-order mark, or longer than any MAC: its 3 rows are skipped and
    // counted beside the 2 unreadable rows the file has.
    const auto withMac = [](QByteArray bytes, const QByteArray& mac) { return bytes.replace("00:0f:66:2a:01:11", mac); };
    const auto withBssid = [](QByteArray bytes, const QByteArray& mac) { return bytes.replace("00:0F:66:2A:01:11", mac); };

    // A row without a MAC files under no AP: skipped and counted in every format.
    const QByteArray summary = bytesOf(import_test::sourceFile("app/survey/tests/data/modern-summary.txt"));
    const QByteArray kismetCsv = bytesOf(import_test::sourceFile("app/survey/tests/data/modern-kismet.csv"));
    const auto fromBuffer = [](const QByteArray& bytes, SurveyContents (*read)(QIODevice&, const ReadProgress&)) {
        QBuffer b;
        b.setData(bytes);
        b.open(QIODevice::ReadOnly);
        return read(b, {});
    };

    const BadCase cases[] = {

        {"csv missing column", [&] { return readWigleCsv(noRssi); }, SurveyStatus::MissingColumn, 0, 0, 0},
        {"csv 10 MB line", [&] { return readWigleCsv(longLine); }, SurveyStatus::Ok, 8, 8, 3},
        {"csv cut mid-row", [&] { return readWigleCsv(wigle.first(wigle.size() / 2)); }, SurveyStatus::Ok, 4, 8, 1},
        {"csv garbage", [&] { return readWigleCsv(garbage); }, SurveyStatus::NotRecognised, 0, 0, 0},
        {"csv BOM-only MAC", [&] { return readWigleCsv(withMac(wigle, "\xEF\xBB\xBF")); }, SurveyStatus::Ok, 7, 7, 5},
        {"csv 100-character MAC", [&] { return readWigleCsv(withMac(wigle, QByteArray(100, 'a'))); }, SurveyStatus::Ok, 7, 7, 5},
        {"csv numbers beyond any integer or float", [&] {
             return readWigleCsv(QByteArray(wigle).replace(",6,2437,-69,", ",-7.7e65,2e76,1e300,"));
         }, SurveyStatus::Ok, 8, 8, 2},
        {"netxml numbers beyond any integer", [&] {
             return xml(QByteArray(netxml).replace("<channel>6</channel><freqmhz>2437", "<channel>-7e65</channel><freqmhz>2e76"));
         }, SurveyStatus::Ok, 8, 8, 0},
        {"netxml BOM-only BSSID", [&] { return xml(withBssid(netxml, "\xEF\xBB\xBF")); }, SurveyStatus::Ok, 7, 7, 1},
        {"netxml cut mid-element", [&] { return xml(netxml.first(netxml.size() / 2)); }, SurveyStatus::Damaged, 2, 6, 0},
        {"netxml garbage", [&] { return xml(garbage); }, SurveyStatus::NotRecognised, 0, 0, 0},
        {"netxml 10 MB name", [&] {
             QByteArray big = netxml;
             big.replace("linksys", QByteArray(10 * 1024 * 1024, 'n'));
             return xml(big);
         }, SurveyStatus::Ok, 8, 8, 0},
        {"kismet truncated", [&] { return readKismetDbBytes(db.first(db.size() * 3 / 4)); }, SurveyStatus::Damaged, 0, 8, 0},
        {"kismet garbage", [&] { return readKismetDbBytes(garbage); }, SurveyStatus::NotRecognised, 0, 0, 0},
        {"kismet empty", [&] { return readKismetDbBytes(QByteArrayView()); }, SurveyStatus::NotRecognised, 0, 0, 0},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.name);
        const SurveyContents got = c.read();
        EXPECT_EQ(got.status, c.status) << got.detail.toStdString();
        EXPECT_GE(static_cast<qsizetype>(got.records.size()), c.minRecords);
        EXPECT_LE(static_cast<qsizetype>(got.records.size()), c.maxRecords);
        EXPECT_EQ(got.skipped, c.skipped);
        if (c.status == SurveyStatus::MissingColumn) {
            EXPECT_EQ(got.detail, "RSSI");
        }
        if (c.status == SurveyStatus::Damaged) {
            EXPECT_FALSE(got.detail.isEmpty());
        }
        for (const auto& ap : got.records)
            EXPECT_EQ(ap.Flags.size(), 4);
    }

    const std::tuple<const char*, SurveyContents, std::size_t, qint64> noMac[] = {
        {"summary", fromBuffer(QByteArray(summary).replace("00:14:6c:00:00:01", "  "), readSummarySurvey), 2, 5},
        {"kismet csv", fromBuffer(QByteArray(kismetCsv).replace("00:14:6C:00:00:01", ""), readKismetCsvSurvey), 6, 2},
    };
    for (const auto& [legend, got, records, line] : noMac) {
        SCOPED_TRACE(legend);
        EXPECT_EQ(got.records.size(), records);
        EXPECT_EQ(got.skipped, 1);
        EXPECT_EQ(got.firstSkipped, line);
        for (const auto& ap : got.records)
            EXPECT_FALSE(ap.MAC.isEmpty());
    }
}

// A full table is still the error report, and it says how many APs of the file were left out.
TEST(SurveyImport, AFullTableSaysHowManyApsDidNotFit)
{
    using aero::AccessPoint;
    using aero::APList;
    SurveyContents contents;
    for (int i = 0; i < APList::Capacity + 5; ++i) {
        AccessPoint ap;
        ap.MAC = QString::number(i);
        ap.SSID = QStringLiteral("n");
        contents.records.push_back(ap);
    }
    contents.records.push_back(contents.records.front());   // already in the table: not counted
    APList table;
    const SurveyImport r = appendSurvey(table, contents, {}, Repeats::Dropped, true);
    ASSERT_TRUE(r.tableFull());
    EXPECT_EQ(r.added, APList::Capacity);
    EXPECT_TRUE(r.error->description.endsWith("; 5 APs of this file did not fit")) << r.error->description.toStdString();
}

TEST(SurveyExports, WigleCsvReimportsToTheSameTableAndGpxGeoJsonCarryEveryPlacedAp)
{
    aero::APList table;
    SurveyContents read = readSurveyFile(SurveyFormat::WigleCsv, dataFile("survey-wigle.csv"));
    read.records.push_back(import_test::ap(0, 0, "no fix", "00:00:00:00:00:99", -80, "0002", "0", "0"));
    read.records.push_back(import_test::ap(37.7, -122.4, "linksys", "00:00:00:00:00:98", -80, "0001", "0", "1"));
    ASSERT_FALSE(appendSurvey(table, read, {}, Repeats::Dropped, true).error);
    ASSERT_EQ(table.count(), 10);
    const ApSource source = [&](int i) { return i < table.count() ? &table.at(i + 1) : nullptr; };

    QBuffer csv;
    csv.open(QIODevice::ReadWrite);
    writeWigleCsv(source, csv, [&](int i) { return &table.observation(i + 1); });   // the AP without a fix is left out
    EXPECT_EQ(detectSurveyFormat(csv.data()), SurveyFormat::WigleCsv);
    aero::APList again;
    const SurveyContents back = readWigleCsv(csv.data());
    EXPECT_TRUE(back.complete());
    ASSERT_FALSE(appendSurvey(again, back, {}, Repeats::Dropped, true).error);
    ASSERT_EQ(again.count(), table.count() - 1);
    for (int slot = 1, other = 1; slot <= table.count(); ++slot) {
        if (!table.at(slot).hasCoordinates())
            continue;
        aero::AccessPoint a = table.at(slot), b = again.at(other++);
        a.Plotted = b.Plotted = false;
        EXPECT_EQ(a, b) << "slot " << slot;
    }

    QBuffer gpx;
    gpx.open(QIODevice::ReadWrite);
    writeGpx(source, gpx);
    EXPECT_EQ(gpx.data().count("<wpt "), 9);   // the AP without a fix has no place
    EXPECT_TRUE(gpx.data().contains("<name>Caf\xC3\xA9 de la Paz</name>"));
    EXPECT_TRUE(gpx.data().contains("<sym>Wireless AP encrypted</sym>"));

    QBuffer geo;
    geo.open(QIODevice::ReadWrite);
    writeGeoJson(source, geo);
    QJsonParseError error;
    const QJsonObject doc = QJsonDocument::fromJson(geo.data(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonArray features = doc.value("features").toArray();
    ASSERT_EQ(features.size(), 9);
    const QJsonObject first = features[0].toObject();
    EXPECT_EQ(first.value("geometry").toObject().value("coordinates").toArray()[0].toDouble(), table.at(1).Longitude);
    const QJsonObject props = first.value("properties").toObject();
    EXPECT_EQ(props.value("MAC").toString(), table.at(1).MAC);
    EXPECT_EQ(props.value("Flags").toString(), "0001");
    EXPECT_EQ(props.keys().size(), 8);
}

} // namespace
