#include "ImportTestSupport.h"
#include "domain/KismetCsvReader.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace aero::import;

namespace {

aero::AccessPoint kis(const QString& ssid, const QString& mac, const char* wep, const char* mode)
{
    aero::AccessPoint r;
    r.SSID = ssid;
    r.MAC = mac;
    r.WEP = QString::fromLatin1(wep);
    r.Mode = QString::fromLatin1(mode);
    return r;
}

std::vector<aero::AccessPoint> readAll(KismetCsvReader& reader)
{
    std::vector<aero::AccessPoint> out;
    while (auto r = reader.next())
        out.push_back(*r);
    return out;
}

struct FileCase {
    const char* legend;
    const char* file;
    int fieldCount;
    std::vector<aero::AccessPoint> expected;
    qint64 skipped;
};

TEST(KismetCsvReader, ReadsEveryLayoutByColumnName)
{
    const FileCase cases[] = {
        {"29 columns, CR LF", "kismet-29col.csv", 30,
         {kis("NETGEAR", "00:09:5B:4E:10:20", "0", "1"), kis("BLANK SSID", "00:02:2D:AA:BB:CC", "0", "0"),
          kis("tsunami", "00:40:96:12:34:56", "1", "1")},
         0},
        // The 2002 writer put two extra empty fields on lines of networks without a learnt
        // address; such a line is counted and skipped, the others are read.
        {"30 columns, CR LF", "kismet-30col.csv", 31,
         {kis("linksys", "00:06:25:0A:1B:2C", "0", "1"),
          kis(QStringLiteral(u"Mission Caf\u00E9"), "00:40:96:3C:11:0A", "1", "1"),
          kis("BLANK SSID", "02:00:3A:11:22:33", "0", "0"), kis("default", "00:30:65:01:02:03", "0", "1")},
         0},
        {"32 columns, LF CR", "kismet-32col.csv", 33,
         {kis("WLAN", "00:0F:66:01:02:03", "0", "1"), kis("BLANK SSID", "00:0F:66:01:02:04", "1", "1")}, 0},
        {"38 columns with WEP, LF CR; a repeated network stays", "kismet-38col-wep.csv", 39,
         {kis("default", "00:0C:41:2A:3B:4C", "0", "1"), kis("Freebox", "00:07:CB:10:20:30", "1", "1"),
          kis("default", "00:0C:41:2A:3B:4C", "0", "1")},
         0},
        {"38 columns with Encryption, LF", "kismet-38col.csv", 39,
         {kis("linksys", "00:12:17:AA:00:01", "0", "1"), kis("BLANK SSID", "00:14:BF:AA:00:02", "1", "1"),
          kis("semi;colon", "02:1A:2B:3C:4D:5E", "1", "0"), kis("BLANK SSID", "00:16:B6:AA:00:04", "0", "0")},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        QFile file(import_test::sourceFile(QStringLiteral("app/domain/tests/data/") + QLatin1String(c.file)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        KismetCsvReader reader(file);
        ASSERT_EQ(reader.readHeading(), KismetStatus::Ok);
        EXPECT_EQ(reader.columns().fieldCount, c.fieldCount);
        EXPECT_EQ(reader.columns().numeric.size(), 8u);
        EXPECT_EQ(readAll(reader), c.expected);
        EXPECT_EQ(reader.status(), KismetStatus::Ok);
        EXPECT_EQ(reader.skippedCount(), c.skipped);
    }
}

TEST(KismetCsvReader, ABadNumberEndsTheReadingAndSaysWhere)
{
    const QByteArray file = "Network;NetType;ESSID;BSSID;WEP;GPSMinLat;GPSMaxSpd;\n"
                            "1;infrastructure;one;m1;No;37.5;0.0;\n"
                            "2;infrastructure;two;m2;No;;;\n"
                            "3;infrastructure;three;m3;No;37.5;fast;\n"
                            "4;infrastructure;four;m4;No;37.5;0.0;\n";
    KismetCsvReader reader{QByteArrayView(file)};
    const auto got = readAll(reader);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].SSID, "two");
    EXPECT_EQ(reader.status(), KismetStatus::BadNumber);
    EXPECT_EQ(reader.errorLine(), 4);
    EXPECT_EQ(reader.errorColumn(), "GPSMaxSpd");
    EXPECT_FALSE(reader.next().has_value());
}

TEST(KismetCsvReader, WrongLinesNeverShiftTheRecordsAfterThem)
{
    QByteArray fifty;
    for (int i = 0; i < 50; ++i)
        fifty += "x;";
    const QByteArray file = "Network;NetType;ESSID;BSSID;Encryption;\r\n"
                            "1;infrastructure;one;m1;None;\r\n"
                            "2;infrastructure;short;\r\n"
                            + fifty + "\r\n"
                            "\r\n"
                            + QByteArray(1024 * 1024, ';') + "\r\n"
                            "3;infrastructure;semi;colon;m3;None;\r\n"
                            "4;ad-hoc;four;m4;WEP;\r\n"
                            + QByteArray("5;infrastructure;nul\0byte;m5;None;", 34);
    KismetCsvReader reader{QByteArrayView(file)};
    const std::vector<aero::AccessPoint> expected = {
        kis("one", "m1", "0", "1"), kis("four", "m4", "1", "0"),
        kis(QString::fromLatin1("nul\0byte", 8), "m5", "0", "1")};
    EXPECT_EQ(readAll(reader), expected);
    EXPECT_EQ(reader.status(), KismetStatus::Ok);
    EXPECT_EQ(reader.wrongFieldCount(), 3);
    EXPECT_EQ(reader.overlongCount(), 1);
    EXPECT_EQ(reader.skippedCount(), 4);
    EXPECT_EQ(reader.firstSkippedLine(), 3);
}

TEST(KismetCsvReader, AHeadingWithoutItsLastSemicolonStillFitsItsLines)
{
    const QByteArray file = "Network;NetType;ESSID;BSSID;Encryption\n1;infrastructure;one;m1;None;\n2;ad-hoc;two;m2;WEP\n";
    KismetCsvReader reader{QByteArrayView(file)};
    EXPECT_EQ(readAll(reader), (std::vector<aero::AccessPoint>{kis("one", "m1", "0", "1"), kis("two", "m2", "1", "0")}));
    EXPECT_EQ(reader.skippedCount(), 0);
}

TEST(KismetCsvReader, SurvivesBinaryGarbageBetweenGoodLines)
{
    QRandomGenerator random(20050611);
    QByteArray garbage(256 * 1024, '\0');
    for (auto& b : garbage)
        b = static_cast<char>(random.bounded(256));
    garbage.replace('"', '\'');   // an open quote would only swallow its own line anyway
    const QByteArray file = "Network;NetType;ESSID;BSSID;WEP;\n1;infrastructure;before;m1;No;\n" + garbage
        + "\n2;ad-hoc;after;m2;Yes;\n";
    KismetCsvReader reader{QByteArrayView(file)};
    std::vector<aero::AccessPoint> got = readAll(reader);
    ASSERT_EQ(reader.status(), KismetStatus::Ok);
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got.front(), kis("before", "m1", "0", "1"));
    EXPECT_EQ(got.back(), kis("after", "m2", "1", "0"));
    EXPECT_GT(reader.skippedCount(), 0);
}

TEST(KismetCsvReader, HeadingProblems)
{
    struct Case {
        const char* legend;
        QByteArray bytes;
        KismetStatus expected;
        QString column;
    };
    const Case cases[] = {
        {"empty file", "", KismetStatus::Empty, {}},
        {"a text summary is not a network log", import_test::SummaryHeader, KismetStatus::BadHeading, "NetType"},
        {"no encryption column", "Network;NetType;ESSID;BSSID;Channel;\n1;infrastructure;a;m;6;\n",
         KismetStatus::BadHeading, "Encryption"},
        {"binary", QByteArray("\x00\xFF\x13\x37\n\x01", 6), KismetStatus::BadHeading, "NetType"},
        {"overlong heading", QByteArray(100000, 'N'), KismetStatus::BadHeading, "NetType"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        KismetCsvReader reader{QByteArrayView(c.bytes)};
        EXPECT_EQ(reader.readHeading(), c.expected);
        EXPECT_EQ(reader.errorColumn(), c.column);
        EXPECT_FALSE(reader.next().has_value());
        EXPECT_EQ(reader.status(), c.expected);
    }
}

TEST(KismetCsvReader, ReportsADeviceThatCannotBeRead)
{
    QBuffer closed;
    KismetCsvReader reader(closed);
    EXPECT_EQ(reader.readHeading(), KismetStatus::ReadError);
}

} // namespace
