#include "ImportTestSupport.h"
#include "domain/KismetCsv.h"

#include <gtest/gtest.h>

using namespace aero::import;

namespace {

const QByteArray Heading38 =
    "Network;NetType;ESSID;BSSID;Info;Channel;Cloaked;Encryption;Decrypted;MaxRate;MaxSeenRate;Beacon;"
    "LLC;Data;Crypt;Weak;Total;Carrier;Encoding;FirstTime;LastTime;BestQuality;BestSignal;BestNoise;"
    "GPSMinLat;GPSMinLon;GPSMinAlt;GPSMinSpd;GPSMaxLat;GPSMaxLon;GPSMaxAlt;GPSMaxSpd;"
    "GPSBestLat;GPSBestLon;GPSBestAlt;DataSize;IPType;IP;";

// A 38-column line with the given type, ESSID, BSSID and encryption; GPS columns as given.
QByteArray line38(const QByteArray& type, const QByteArray& essid, const QByteArray& bssid,
                  const QByteArray& encryption, const QByteArray& gpsMinLat = "37.768301")
{
    return "1;" + type + ";" + essid + ";" + bssid + ";;6;No;" + encryption
        + ";No;54.0;540;25600;148;0;0;0;148;IEEE 802.11g;CCK,OFDM;Sat Jun 11 12:35:19 2005;"
          "Sat Jun 11 12:41:02 2005;0;-62;-98;" + gpsMinLat + ";-122.422203;52.000000;18.400000;"
          "37.768512;-122.421987;55.000000;24.100000;37.768400;-122.422100;53.000000;0;None;0.0.0.0;";
}

aero::AccessPoint kis(const QString& ssid, const QString& mac, const char* wep, const char* mode)
{
    aero::AccessPoint r;
    r.SSID = ssid;
    r.MAC = mac;
    r.WEP = QString::fromLatin1(wep);
    r.Mode = QString::fromLatin1(mode);
    return r;
}

TEST(KismetCsv, SplitsOnSemicolonsHonouringQuotes)
{
    struct Case {
        const char* legend;
        QByteArray line;
        std::vector<QByteArray> expected;
    };
    const Case cases[] = {
        {"the closing ';' opens one empty field", "a;b;", {"a", "b", ""}},
        {"no closing ';'", "a;b", {"a", "b"}},
        {"empty line is one empty field", "", {""}},
        {"empty fields kept", ";;", {"", "", ""}},
        {"commas are data", "1;WPA2,WPA,AES-CCM,TKIP;", {"1", "WPA2,WPA,AES-CCM,TKIP", ""}},
        {"a quoted field may hold ';'", "1;\"semi;colon\";x;", {"1", "semi;colon", "x", ""}},
        {"doubled quotes stand for one", "\"say \"\"hi\"\"\";", {"say \"hi\"", ""}},
        {"a quote inside a field is plain text", "a\"b;c;", {"a\"b", "c", ""}},
        {"an unclosed quote runs to the line end", "1;\"open;x", {"1", "open;x"}},
        {"text after the closing quote is kept", "\"ab\"cd;e", {"abcd", "e"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(splitKismetFields(c.line), c.expected);
    }
}

TEST(KismetCsv, NumbersAreEmptyOrDecimal)
{
    for (const char* ok : {"", "  ", "0", "-122.419416", "+3", "90.000000", ".5", "5.", "1e-3", " 2.5 ", "1E+10"}) {
        SCOPED_TRACE(ok);
        EXPECT_TRUE(isEmptyOrNumber(ok));
    }
    for (const char* bad : {"abc", "12abc", "-", ".", "1e", "nan", "inf", "1.2.3", "0x10", "1 2", "--1"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(isEmptyOrNumber(bad));
    }
}

TEST(KismetCsv, FindsColumnsByName)
{
    const KismetColumns c = kismetColumns(Heading38);
    EXPECT_EQ(c.fieldCount, 39);
    EXPECT_EQ(c.netType, 1);
    EXPECT_EQ(c.essid, 2);
    EXPECT_EQ(c.bssid, 3);
    EXPECT_EQ(c.encryption, 7);
    EXPECT_EQ(c.wep, -1);
    ASSERT_EQ(c.numeric.size(), 8u);
    EXPECT_EQ(c.numeric.front().name, "GPSMinLat");
    EXPECT_EQ(c.numeric.front().index, 24);
    EXPECT_EQ(c.numeric.back().name, "GPSMaxSpd");
    EXPECT_TRUE(c.missingColumn().isEmpty());

    // Another order, other case, blanks around names: still found by name.
    const KismetColumns moved = kismetColumns("bssid; essid ;Wep;NETTYPE;GPSMaxLat;");
    EXPECT_EQ(moved.bssid, 0);
    EXPECT_EQ(moved.essid, 1);
    EXPECT_EQ(moved.wep, 2);
    EXPECT_EQ(moved.netType, 3);
    ASSERT_EQ(moved.numeric.size(), 1u);
    EXPECT_EQ(moved.numeric.front().index, 4);
}

TEST(KismetCsv, NamesTheFirstMissingColumn)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"Network;ESSID;BSSID;WEP;", "NetType"},
        {"Network;NetType;BSSID;WEP;", "ESSID"},
        {"Network;NetType;ESSID;WEP;", "BSSID"},
        {"Network;NetType;ESSID;BSSID;", "Encryption"},
        {"", "NetType"},
    };
    for (const auto& [heading, missing] : cases) {
        SCOPED_TRACE(heading.toStdString());
        EXPECT_EQ(kismetColumns(heading).missingColumn(), missing);
    }
}

TEST(KismetCsv, BuildsOneRecordPerLine)
{
    const KismetColumns c = kismetColumns(Heading38);
    const QString mac = QStringLiteral("00:12:17:AA:00:01");
    struct Case {
        const char* legend;
        QByteArray line;
        aero::AccessPoint expected;
    };
    const Case cases[] = {
        {"open infrastructure", line38("infrastructure", "linksys", "00:12:17:AA:00:01", "None"),
         kis("linksys", mac, "0", "1")},
        {"ad-hoc", line38("ad-hoc", "x", "00:12:17:AA:00:01", "None"), kis("x", mac, "0", "0")},
        {"probe counts as ad-hoc", line38("probe", "x", "00:12:17:AA:00:01", "None"), kis("x", mac, "0", "0")},
        {"type compared exactly", line38("Infrastructure", "x", "00:12:17:AA:00:01", "None"), kis("x", mac, "0", "0")},
        {"WEP", line38("infrastructure", "x", "00:12:17:AA:00:01", "WEP"), kis("x", mac, "1", "1")},
        {"an encryption list with commas", line38("infrastructure", "x", "00:12:17:AA:00:01", "WPA2,WPA,AES-CCM,TKIP"),
         kis("x", mac, "1", "1")},
        {"empty ESSID", line38("infrastructure", "", "00:12:17:AA:00:01", "None"), kis("BLANK SSID", mac, "0", "1")},
        {"<no ssid>", line38("infrastructure", "<no ssid>", "00:12:17:AA:00:01", "None"),
         kis("BLANK SSID", mac, "0", "1")},
        {"ESSID kept as read, blanks included", line38("infrastructure", " my net ", "00:12:17:AA:00:01", "None"),
         kis(" my net ", mac, "0", "1")},
        {"BSSID as read, not upper-cased", line38("infrastructure", "x", "00:12:17:aa:00:01", "None"),
         kis("x", "00:12:17:aa:00:01", "0", "1")},
        {"quoted ESSID holding ';'", line38("infrastructure", "\"a;b\"", "00:12:17:AA:00:01", "None"),
         kis("a;b", mac, "0", "1")},
        {"Windows-1252 ESSID", line38("infrastructure", "Caf\xE9\x80", "00:12:17:AA:00:01", "None"),
         kis(QStringLiteral(u"Caf\u00E9\u20AC"), mac, "0", "1")},
        {"empty GPS column", line38("infrastructure", "x", "00:12:17:AA:00:01", "None", ""), kis("x", mac, "0", "1")},
    };
    for (const auto& cs : cases) {
        SCOPED_TRACE(cs.legend);
        aero::AccessPoint got;
        ASSERT_EQ(parseKismetLine(cs.line, c, got), KismetLineKind::Record);
        EXPECT_EQ(got, cs.expected);
    }
}

TEST(KismetCsv, WepColumnOfOlderLogs)
{
    const KismetColumns c = kismetColumns("Network;NetType;ESSID;BSSID;WEP;");
    aero::AccessPoint got;
    ASSERT_EQ(parseKismetLine("1;infrastructure;a;m;No;", c, got), KismetLineKind::Record);
    EXPECT_EQ(got.WEP, "0");
    ASSERT_EQ(parseKismetLine("1;infrastructure;a;m;Yes;", c, got), KismetLineKind::Record);
    EXPECT_EQ(got.WEP, "1");
    ASSERT_EQ(parseKismetLine("1;infrastructure;a;m;None;", c, got), KismetLineKind::Record);
    EXPECT_EQ(got.WEP, "1");   // "None" means open only in the Encryption column
}

TEST(KismetCsv, RejectsLinesOfTheWrongShape)
{
    const KismetColumns c = kismetColumns(Heading38);
    QByteArray fifty;
    for (int i = 0; i < 50; ++i)
        fifty += QByteArray::number(i) + ';';
    fifty.chop(1);
    struct Case {
        const char* legend;
        QByteArray line;
        KismetLineKind expected;
        QString badColumn;
    };
    const Case cases[] = {
        {"5 fields", "1;infrastructure;a;00:12:17:AA:00:01;None", KismetLineKind::WrongFieldCount, {}},
        {"50 fields", fifty, KismetLineKind::WrongFieldCount, {}},
        {"an unquoted ';' in the ESSID", line38("infrastructure", "a;b", "m", "None"), KismetLineKind::WrongFieldCount, {}},
        {"one field short", line38("infrastructure", "a", "m", "None").chopped(1), KismetLineKind::WrongFieldCount, {}},
        {"blank line", "", KismetLineKind::Blank, {}},
        {"blanks only", "  \t", KismetLineKind::Blank, {}},
        {"text in GPSMinLat", line38("infrastructure", "a", "m", "None", "abc"), KismetLineKind::BadNumber, "GPSMinLat"},
    };
    for (const auto& cs : cases) {
        SCOPED_TRACE(cs.legend);
        aero::AccessPoint got;
        QString badColumn;
        EXPECT_EQ(parseKismetLine(cs.line, c, got, &badColumn), cs.expected);
        EXPECT_EQ(badColumn, cs.badColumn);
    }
}

} // namespace
