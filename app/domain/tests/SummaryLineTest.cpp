#include "ImportTestSupport.h"
#include "domain/SummaryLine.h"

#include <gtest/gtest.h>

using namespace aero::import;
using import_test::ap;
using import_test::dataLine;

namespace {

SummaryRecord rec(const aero::AccessPoint& a, double lat, double lon, double snr, double signal, double noise,
                  bool noFix = false)
{
    SummaryRecord r;
    r.ap = a;
    r.latitude = lat;
    r.longitude = lon;
    r.snr = snr;
    r.signal = signal;
    r.noise = noise;
    r.noFix = noFix;
    return r;
}

struct DataCase {
    const char* legend;
    QByteArray line;
    SummaryRecord expected;
};

const QString Mac = QStringLiteral("00:06:25:0A:1B:2C");
const QString One = QStringLiteral("1"), Zero = QStringLiteral("0"), None;

TEST(SummaryLine, DecodesDataLinesIntoWholeRecords)
{
    const DataCase cases[] = {
        {"the documented example", dataLine("N 37.7694283", "W 122.4176333", "home", "00:06:25:0a:1b:2c"),
         rec(ap(37.7694283, -122.4176333, "home", Mac, -66, "0011", One, One), 37.7694283, -122.4176333, 27, 83, 56)},
        {"south and east are signed", dataLine("S 33.8688197", "E 151.2092955", "home", "00:06:25:0a:1b:2c"),
         rec(ap(-33.8688197, 151.2092955, "home", Mac, -66, "0011", One, One), -33.8688197, 151.2092955, 27, 83, 56)},
        {"an unknown longitude letter leaves it 0", dataLine("N 37.5", "X 122.5", "home", "00:06:25:0a:1b:2c"),
         rec(ap(37.5, 0, "home", Mac, -66, "0011", One, One), 37.5, 0, 27, 83, 56)},
        {"blank SSID of one space", dataLine("N 1.5", "W 2.5", "", "00:06:25:0a:1b:2c"),
         rec(ap(1.5, -2.5, "BLANK SSID", Mac, -66, "0011", One, One), 1.5, -2.5, 27, 83, 56)},
        {"blank SSID of four spaces", "N 1.5\tW 2.5\t(    )\tBSS\t( 00:06:25:0a:1b:2c )\tt\t[ 27 83 56 ]\t# ( )\t0011",
         rec(ap(1.5, -2.5, "BLANK SSID", Mac, -66, "0011", One, One), 1.5, -2.5, 27, 83, 56)},
        {"inner spaces of an SSID stay", dataLine("N 1.5", "W 2.5", "my  home", "00:06:25:0a:1b:2c"),
         rec(ap(1.5, -2.5, "my  home", Mac, -66, "0011", One, One), 1.5, -2.5, 27, 83, 56)},
        {"no fix below 1 degree: no coordinates, WEP and Mode unknown",
         dataLine("N 0.4560000", "W 122.4176333", "home", "00:06:25:0a:1b:2c"),
         rec(ap(0, 0, "home", Mac, -66, "0011", None, None), 0.456, -122.4176333, 27, 83, 56, true)},
        {"no fix as written without a GPS", dataLine("N 0.0000000", "E 0.0000000", "home", "00:06:25:0a:1b:2c"),
         rec(ap(0, 0, "home", Mac, -66, "0011", None, None), 0, 0, 27, 83, 56, true)},
        {"flags 0012: ad-hoc", dataLine("N 1.5", "W 2.5", "a", "m", "[ 27 83 56 ]", "0012"),
         rec(ap(1.5, -2.5, "a", "M", -66, "0012", One, Zero), 1.5, -2.5, 27, 83, 56)},
        {"flags 0010: mode unknown", dataLine("N 1.5", "W 2.5", "a", "m", "[ 27 83 56 ]", "0010"),
         rec(ap(1.5, -2.5, "a", "M", -66, "0010", One, None), 1.5, -2.5, 27, 83, 56)},
        {"flags 0031: encrypted", dataLine("N 1.5", "W 2.5", "a", "m", "[ 27 83 56 ]", "0031"),
         rec(ap(1.5, -2.5, "a", "M", -66, "0031", One, One), 1.5, -2.5, 27, 83, 56)},
        {"flags 0051: not encrypted", dataLine("N 1.5", "W 2.5", "a", "m", "[ 27 83 56 ]", "0051"),
         rec(ap(1.5, -2.5, "a", "M", -66, "0051", Zero, One), 1.5, -2.5, 27, 83, 56)},
        {"flags 0001: open", dataLine("N 1.5", "W 2.5", "a", "m", "[ 27 83 56 ]", "0001"),
         rec(ap(1.5, -2.5, "a", "M", -66, "0001", Zero, One), 1.5, -2.5, 27, 83, 56)},
        {"flags padded with spaces are trimmed", dataLine("N 1.5", "W 2.5", "a", "m", "[ 27 83 56 ]", "  11"),
         rec(ap(1.5, -2.5, "a", "M", -66, "11", Zero, One), 1.5, -2.5, 27, 83, 56)},
        {"signal 0 is -149 dBm", dataLine("N 1.5", "W 2.5", "a", "m", "[ 0 0 0 ]"),
         rec(ap(1.5, -2.5, "a", "M", -149, "0011", One, One), 1.5, -2.5, 0, 0, 0)},
        {"signal text without digits is 0", dataLine("N 1.5", "W 2.5", "a", "m", "[ x y z ]"),
         rec(ap(1.5, -2.5, "a", "M", -149, "0011", One, One), 1.5, -2.5, 0, 0, 0)},
        {"a missing noise number reads 0", dataLine("N 1.5", "W 2.5", "a", "m", "[ 30 90 ]"),
         rec(ap(1.5, -2.5, "a", "M", -59, "0011", One, One), 1.5, -2.5, 30, 90, 0)},
        {"Windows-1252 SSID", dataLine("N 1.5", "W 2.5", "Caf\xE9 \x80uro", "m"),
         rec(ap(1.5, -2.5, QStringLiteral(u"Caf\u00E9 \u20ACuro"), "M", -66, "0011", One, One), 1.5, -2.5, 27, 83, 56)},
        {"MAC upper-cased and trimmed", dataLine("N 1.5", "W 2.5", "a", " 00:0f:b5:aa:bb:cc "),
         rec(ap(1.5, -2.5, "a", "00:0F:B5:AA:BB:CC", -66, "0011", One, One), 1.5, -2.5, 27, 83, 56)},
        {"only ASCII letters of a MAC change case", dataLine("N 1.5", "W 2.5", "a", "\xDF\xB5:0f"),
         rec(ap(1.5, -2.5, "a", QStringLiteral(u"\u00DF\u00B5:0F"), -66, "0011", One, One), 1.5, -2.5, 27, 83, 56)},
        {"an SSID with a double quote", dataLine("N 1.5", "W 2.5", "say \"hi\"", "m"),
         rec(ap(1.5, -2.5, "say \"hi\"", "M", -66, "0011", One, One), 1.5, -2.5, 27, 83, 56)},
        {"an SSID stops at its first ')', the rest of it is passed over",
         dataLine("N 1.5", "W 2.5", "<script>alert(1)</script>", "m"),
         rec(ap(1.5, -2.5, "<script>alert(1", "M", -66, "0011", One, One), 1.5, -2.5, 27, 83, 56)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        SummaryRecord got;
        ASSERT_EQ(parseSummaryLine(c.line, got), SummaryLineKind::Data);
        EXPECT_EQ(got, c.expected);
    }
}

struct KindCase {
    const char* legend;
    QByteArray line;
    SummaryLineKind expected;
};

TEST(SummaryLine, TellsDataFromOtherAndTruncatedLines)
{
    const QByteArray full = dataLine("N 37.7694283", "W 122.4176333", "home", "00:06:25:0a:1b:2c");
    const KindCase cases[] = {
        {"comment", "# $DateGMT: 2004-06-11", SummaryLineKind::NotData},
        {"blank", "", SummaryLineKind::NotData},
        {"lower-case n is not data", "n" + full.mid(1), SummaryLineKind::NotData},
        {"leading blank is not data", " " + full, SummaryLineKind::NotData},
        {"E is not a latitude", "E" + full.mid(1), SummaryLineKind::NotData},
        {"complete line", full, SummaryLineKind::Data},
        {"only the latitude", "N 37.7694283", SummaryLineKind::Truncated},
        {"only the hemisphere", "N", SummaryLineKind::Truncated},
        {"ends at the first TAB", "N 37.7694283\t", SummaryLineKind::Truncated},
        {"no TAB after the longitude", "N 37.7694283\tW 122.4176333", SummaryLineKind::Truncated},
        {"SSID never closed", "N 37.7694283\tW 122.4176333\t( home", SummaryLineKind::Truncated},
        {"no MAC", "N 37.7694283\tW 122.4176333\t( home )\tBSS\t", SummaryLineKind::Truncated},
        {"MAC never closed", full.left(full.indexOf(":2c") + 3), SummaryLineKind::Truncated},
        {"no signal block", full.left(full.indexOf('[')), SummaryLineKind::Truncated},
        {"signal block cut after the signal", full.left(full.indexOf("83") + 2), SummaryLineKind::Truncated},
        {"no name column", full.left(full.indexOf("# (")), SummaryLineKind::Truncated},
        {"flags cut short", full.left(full.indexOf("0011") + 3), SummaryLineKind::Truncated},
        {"flags complete, nothing after", full.left(full.indexOf("0011") + 4), SummaryLineKind::Data},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        SummaryRecord got;
        EXPECT_EQ(parseSummaryLine(c.line, got), c.expected);
    }
}

TEST(SummaryLine, HeaderTestsIgnoreCase)
{
    EXPECT_TRUE(isSummaryCreatorLine("# $Creator: Network Stumbler Version 0.4.0"));
    EXPECT_TRUE(isSummaryCreatorLine("# $CREATOR: NETWORK STUMBLER VERSION 0.4.0"));
    EXPECT_FALSE(isSummaryCreatorLine("# $Creator: NetworkStumbler"));
    EXPECT_TRUE(isSummaryFormatLine("# $Format: Wi-Scan Summary with extensions"));
    EXPECT_FALSE(isSummaryFormatLine("# $Format: wi-scan with extensions"));
}

} // namespace
