#include "ImportTestSupport.h"
#include "domain/SummaryReader.h"

#include <QBuffer>
#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace aero::import;
using import_test::dataLine;
using import_test::SummaryHeader;

namespace {

QStringList ssidsOf(const SummaryContents& c)
{
    QStringList out;
    for (const auto& r : c.records)
        out << r.ap.SSID;
    return out;
}

struct HeaderCase {
    const char* legend;
    QByteArray bytes;
    SummaryStatus expected;
    int records;
};

TEST(SummaryReader, ChecksTheFirstTwoLines)
{
    const QByteArray data = dataLine("N 1.5", "W 2.5", "home", "m") + "\r\n";
    const HeaderCase cases[] = {
        {"a proper header", SummaryHeader + data, SummaryStatus::Ok, 1},
        {"empty file", "", SummaryStatus::NotSummaryLine1, 0},
        {"line 1 in capitals passes", "# $CREATOR: NETWORK STUMBLER 0.4.0\r\n# $Format: wi-scan summary\r\nh\r\n" + data,
         SummaryStatus::Ok, 1},
        {"line 1 wrong, line 2 right", "# $Creator: something else\r\n# $Format: wi-scan summary\r\nh\r\n" + data,
         SummaryStatus::NotSummaryLine1, 0},
        {"line 2 wrong", "# $Creator: Network Stumbler\r\n# $Format: wi-scan\r\nh\r\n" + data,
         SummaryStatus::NotSummaryLine2, 0},
        {"only line 1", "# $Creator: Network Stumbler\r\n", SummaryStatus::NotSummaryLine2, 0},
        {"header without column heading", "# Network Stumbler\r\n# wi-scan summary\r\n", SummaryStatus::Ok, 0},
        {"a binary .ns1 log", QByteArray("NetS\x00\x00\x00\x0c\x01\x00\x00\x00", 12), SummaryStatus::NotSummaryLine1, 0},
        {"an overlong line 1", QByteArray(70000, 'N') + "\r\n# wi-scan summary\r\nh\r\n" + data,
         SummaryStatus::NotSummaryLine1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        SummaryReader reader{QByteArrayView(c.bytes)};
        EXPECT_EQ(reader.readHeader(), c.expected);
        const SummaryContents all = readSummary(QByteArrayView(c.bytes));
        EXPECT_EQ(all.status, c.expected);
        EXPECT_EQ(all.records.size(), static_cast<std::size_t>(c.records));
    }
}

TEST(SummaryReader, NeverTakesTheFirstThreeLinesAsData)
{
    const QByteArray looksLikeData = dataLine("N 1.5", "W 2.5", "home", "m");
    const QByteArray file = looksLikeData + " Network Stumbler\r\n" + looksLikeData + " wi-scan summary\r\n"
        + looksLikeData + "\r\n" + dataLine("N 3.5", "W 4.5", "fourth", "m4") + "\r\n";
    const SummaryContents c = readSummary(QByteArrayView(file));
    ASSERT_EQ(c.status, SummaryStatus::Ok);
    EXPECT_EQ(ssidsOf(c), QStringList{"fourth"});
    EXPECT_EQ(c.records.at(0).line, 4);
}

TEST(SummaryReader, SkipsAndCountsBrokenLinesAndKeepsEveryGoodOne)
{
    QByteArray file = SummaryHeader;
    file += "# $DateGMT: 2004-06-11\r\n";                                        // 4
    file += dataLine("N 1.5", "W 2.5", "first", "m1") + "\r\n";                  // 5
    file += "N 37.7694283\tW 122.41\r\n";                                        // 6 truncated
    file += "\r\n";                                                              // 7 blank
    file += dataLine("S 1.5", "E 2.5", "second", "m2").left(60) + "\r\n";        // 8 truncated
    file += QByteArray(1024 * 1024, 'N') + "\r\n";                               // 9 a 1 MB line
    file += dataLine("N 1.5", "W 2.5", "third", "m3") + "\r\n";                  // 10
    file += QByteArray("N\0\0\0\t\0(\0)\0\r\n", 12);                              // 11 NULs, truncated
    file += dataLine("N 1.5", "W 2.5", QByteArray("nul\0inside", 10), "m4") + "\r\n";  // 12
    file += dataLine("N 1.5", "W 2.5", "last", "m5");                            // 13, no line end

    SummaryReader reader{QByteArrayView(file)};
    ASSERT_EQ(reader.readHeader(), SummaryStatus::Ok);
    std::vector<std::pair<qint64, QString>> got;
    while (auto r = reader.next())
        got.emplace_back(r->line, r->ap.SSID);
    const std::vector<std::pair<qint64, QString>> expected = {
        {5, "first"}, {10, "third"}, {12, QString::fromLatin1("nul\0inside", 10)}, {13, "last"}};
    EXPECT_EQ(got, expected);
    EXPECT_EQ(reader.truncatedCount(), 3);
    EXPECT_EQ(reader.overlongCount(), 1);
    EXPECT_EQ(reader.skippedCount(), 4);
    EXPECT_EQ(reader.firstSkippedLine(), 6);
    EXPECT_EQ(reader.lineNumber(), 13);
    EXPECT_EQ(reader.status(), SummaryStatus::Ok);
}

TEST(SummaryReader, StepsReportEveryLine)
{
    const QByteArray file = SummaryHeader + "# comment\r\n" + dataLine("N 1.5", "W 2.5", "a", "m") + "\r\nN 1\r\n";
    SummaryReader reader{QByteArrayView(file)};
    using S = SummaryReader::Step;
    EXPECT_EQ(reader.step(), S::Other);
    EXPECT_EQ(reader.step(), S::Record);
    EXPECT_EQ(reader.record().ap.SSID, "a");
    EXPECT_EQ(reader.step(), S::Skipped);
    EXPECT_EQ(reader.step(), S::End);
    EXPECT_EQ(reader.step(), S::End);
    EXPECT_EQ(reader.recordCount(), 1);
}

TEST(SummaryReader, ReadsLfCrAndLfFilesLikeCrLfFiles)
{
    QByteArray crlf = SummaryHeader;
    for (int i = 0; i < 5; ++i)
        crlf += dataLine("N 1.5", "W 2.5", "net" + QByteArray::number(i), "m" + QByteArray::number(i)) + "\r\n";
    const SummaryContents expected = readSummary(QByteArrayView(crlf));
    ASSERT_EQ(expected.records.size(), 5u);

    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    QByteArray lfcr = crlf;
    lfcr.replace("\r\n", "\n\r");
    for (const auto& [legend, bytes] : {std::pair{"LF", lf}, std::pair{"LF CR", lfcr}}) {
        SCOPED_TRACE(legend);
        QBuffer buffer;
        buffer.setData(bytes);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        const SummaryContents got = readSummary(buffer);
        EXPECT_EQ(got.records, expected.records);
        EXPECT_EQ(got.skipped, 0);
    }
}

TEST(SummaryReader, SurvivesBinaryGarbageBetweenGoodLines)
{
    QRandomGenerator random(20040611);
    QByteArray garbage(256 * 1024, '\0');
    for (auto& b : garbage)
        b = static_cast<char>(random.bounded(256));
    const QByteArray file = SummaryHeader + dataLine("N 1.5", "W 2.5", "before", "m1") + "\r\n" + garbage + "\r\n"
        + dataLine("N 1.5", "W 2.5", "after", "m2") + "\r\n";
    const SummaryContents c = readSummary(QByteArrayView(file));
    ASSERT_GE(c.records.size(), 2u);
    EXPECT_EQ(c.records.front().ap.SSID, "before");
    EXPECT_EQ(c.records.back().ap.SSID, "after");
    EXPECT_EQ(c.records.back().line, c.lines);
}

TEST(SummaryReader, ReportsADeviceThatCannotBeRead)
{
    QBuffer closed;
    SummaryReader reader(closed);
    EXPECT_EQ(reader.readHeader(), SummaryStatus::ReadError);
    EXPECT_FALSE(reader.next().has_value());
    EXPECT_EQ(reader.status(), SummaryStatus::ReadError);
}

} // namespace
