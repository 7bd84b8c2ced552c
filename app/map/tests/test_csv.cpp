// The AP list as CSV, compared byte for byte with a golden file.
#include "domain/APList.h"
#include "domain/ApCsv.h"

#include "MapTestSupport.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace aero;

namespace {

AccessPoint ap(const QString& ssid, const QString& mac, float signal, double lat, double lon, const QString& flags)
{
    AccessPoint a;
    a.SSID = ssid, a.MAC = mac, a.Signal = signal, a.Latitude = lat, a.Longitude = lon, a.Flags = flags;
    return a;
}

QByteArray csvOf(const APList& list)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeApCsv(list, buffer);
    return buffer.data();
}

} // namespace

TEST(ApCsv, MatchesTheGoldenFileByteForByte)
{
    APList list;
    list.append(ap(QStringLiteral("home"), QStringLiteral("00:06:25:0A:1B:2C"), -66.0f, 37.7694283, -122.4176333, QStringLiteral("0011")));
    list.append(ap(QStringLiteral("say \"hi\""), QStringLiteral("00:0C:41:00:00:01"), -50.5f, 0.0, 0.0, QString()));
    list.append(ap(QStringLiteral("caf\u00E9 \u20AC,1"), QStringLiteral("00:0C:41:00:00:02"), 0.0f, -33.8688, 151.2093, QStringLiteral("0001")));
    list.append(ap(QStringLiteral("\u4E2D"), QStringLiteral("00:0C:41:00:00:03"), -0.25f, 1e-7, -1234.5, QStringLiteral("1")));
    const QByteArray actual = csvOf(list);

    const QString golden = maptest::testData(QStringLiteral("aplist.csv"));
    if (qEnvironmentVariableIsSet("AEROPLOTTER_REGENERATE"))
        testing_support::writeFile(golden, actual);
    const QByteArray expected = testing_support::readFile(golden);
    ASSERT_FALSE(expected.isEmpty()) << "golden file missing: " << golden.toStdString();
    EXPECT_EQ(actual.size(), expected.size());
    EXPECT_EQ(actual.count("\r\n"), 4) << "one line per used slot, CR LF ends";
    for (qsizetype i = 0; i < std::min(actual.size(), expected.size()); ++i)
        ASSERT_EQ(actual[i], expected[i]) << "first difference at byte " << i;
}

TEST(ApCsv, FieldsAreWrittenAsTheSurveyFilesExpect)
{
    APList list;
    list.append(ap(QStringLiteral("home"), QStringLiteral("00:06:25:0A:1B:2C"), -66.0f, 37.7694283, -122.4176333, QStringLiteral("0011")));
    EXPECT_EQ(csvOf(list), QByteArray("\"home\",\"00:06:25:0A:1B:2C\",-66,37.7694283,-122.4176333,\"0011\"\r\n"));

    APList quotes;
    quotes.append(ap(QStringLiteral("a\"b"), QStringLiteral("m"), 0.0f, 0.0, 0.0, QStringLiteral("\"")));
    EXPECT_EQ(csvOf(quotes), QByteArray("\"a\"\"b\",\"m\",0,0,0,\"\"\"\"\r\n"));
}

TEST(ApCsv, EmptyTableGivesAnEmptyFile)
{
    EXPECT_TRUE(csvOf(APList()).isEmpty());
}

TEST(ApCsv, Windows1252Encoding)
{
    struct Row { const char* legend; QString text; QByteArray bytes; };
    const Row rows[] = {
        {"plain ASCII", QStringLiteral("abc"), QByteArray("abc")},
        {"Latin-1 letter", QStringLiteral("\u00E9"), QByteArray("\xE9")},
        {"euro sign", QStringLiteral("\u20AC"), QByteArray("\x80")},
        {"curly quotes", QStringLiteral("\u201C\u201D"), QByteArray("\x93\x94")},
        {"byte read as a C1 character", QStringLiteral("\u0081"), QByteArray("\x81")},
        {"outside Windows-1252", QStringLiteral("\u4E2D"), QByteArray("?")},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        EXPECT_EQ(toWindows1252(r.text), r.bytes);
    }
}
