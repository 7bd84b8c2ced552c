// The shipped examples (written by examples/make-sample.py) read end to end, and a summary
// filled into the AP table the way the import command does it.
#include "ImportTestSupport.h"
#include "domain/APList.h"
#include "domain/KismetCsvReader.h"
#include "domain/SummaryReader.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>

using namespace aero::import;

namespace {

SummaryContents readSampleSummary()
{
    QFile file(import_test::sourceFile(QStringLiteral("examples/sample-summary.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return {SummaryStatus::ReadError, {}, 0, 0};
    return readSummary(file);
}

bool hasSsid(const SummaryContents& c, const QString& ssid)
{
    return std::any_of(c.records.begin(), c.records.end(), [&](const SummaryRecord& r) { return r.ap.SSID == ssid; });
}

TEST(SampleFiles, SummaryReadsEveryDataLine)
{
    const SummaryContents c = readSampleSummary();
    ASSERT_EQ(c.status, SummaryStatus::Ok);
    EXPECT_EQ(c.records.size(), 330u);
    EXPECT_EQ(c.lines, 335);
    EXPECT_EQ(c.skipped, 0);
    EXPECT_EQ(std::count_if(c.records.begin(), c.records.end(), [](const auto& r) { return r.noFix; }), 16);
    EXPECT_TRUE(hasSsid(c, "<script>alert(1"));
    EXPECT_TRUE(hasSsid(c, "Joe's \"Fast\" Net"));
    EXPECT_TRUE(hasSsid(c, QStringLiteral(u"\u20ACuro-Net")));
    EXPECT_TRUE(hasSsid(c, QStringLiteral(u"Caf\u00E9 de la Paz")));
    EXPECT_TRUE(hasSsid(c, "BLANK SSID"));
    for (const auto& r : c.records) {
        SCOPED_TRACE(r.line);
        EXPECT_GE(r.ap.Signal, -95.0f);
        EXPECT_LE(r.ap.Signal, -40.0f);
        EXPECT_EQ(r.ap.hasCoordinates(), !r.noFix);
        if (!r.noFix) {
            EXPECT_NEAR(r.ap.Latitude, 37.76, 0.02);
            EXPECT_NEAR(r.ap.Longitude, -122.415, 0.02);
        }
    }
}

TEST(SampleFiles, SummaryFillsTheTableFirstSightingWins)
{
    const SummaryContents c = readSampleSummary();
    ASSERT_EQ(c.status, SummaryStatus::Ok);
    aero::APList list;
    list.NextAP = list.findFirstFree();
    for (const auto& r : c.records)
        if (!list.containsMac(r.ap.MAC))
            list.append(r.ap);
    list.DedupeSSIDs();

    EXPECT_EQ(list.count(), 310);   // 20 lines repeat an AP already read
    for (int slot = 1; slot <= list.count(); ++slot) {
        const auto& ap = list.at(slot);
        const auto first = std::find_if(c.records.begin(), c.records.end(),
                                        [&](const SummaryRecord& r) { return r.ap.MAC == ap.MAC; });
        ASSERT_NE(first, c.records.end());
        EXPECT_EQ(ap.Signal, first->ap.Signal) << "slot " << slot;
    }
    EXPECT_GT(list.findBySSID("BLANK SSID 001"), list.findBySSID("BLANK SSID"));
    EXPECT_GT(list.findBySSID("linksys 001"), 0);
}

TEST(SampleFiles, KismetLogReadsWithItsGpsLogBeside)
{
    const QString path = import_test::sourceFile(QStringLiteral("examples/kismet-sample.csv"));
    EXPECT_TRUE(QFileInfo::exists(path.chopped(4) + QStringLiteral(".gps")));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    KismetCsvReader reader(file);
    ASSERT_EQ(reader.readHeading(), KismetStatus::Ok);
    EXPECT_EQ(reader.columns().fieldCount, 39);
    std::vector<aero::AccessPoint> records;
    while (auto r = reader.next())
        records.push_back(*r);
    EXPECT_EQ(reader.status(), KismetStatus::Ok);
    EXPECT_EQ(reader.skippedCount(), 0);
    ASSERT_EQ(records.size(), 36u);
    const auto count = [&](auto pred) { return std::count_if(records.begin(), records.end(), pred); };
    EXPECT_EQ(count([](const auto& r) { return r.SSID == "BLANK SSID"; }), 2);
    EXPECT_EQ(count([](const auto& r) { return r.SSID == "Joe's \"Fast\" Net"; }), 1);
    EXPECT_EQ(count([](const auto& r) { return r.SSID == QStringLiteral(u"\u20ACuro-Net"); }), 1);
    EXPECT_EQ(count([](const auto& r) { return r.Mode == "0"; }), 5);
    EXPECT_EQ(count([](const auto& r) { return r.WEP == "1"; }), 19);
    EXPECT_EQ(count([](const auto& r) { return r.hasCoordinates() || r.Signal != 0 || !r.Flags.isEmpty(); }), 0);
}

} // namespace
