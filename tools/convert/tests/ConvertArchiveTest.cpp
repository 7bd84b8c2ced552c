// aeroplotter-convert with an archive, run as a real process: logs in once each, a region out.
#include "TempDir.h"
#include "archive/ArchiveStore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using testing_support::sourceDir;

struct ToolRun {
    int exitCode = -1;
    QString err;
};

ToolRun convert(const QStringList& args)
{
    QProcess p;
    p.start(testing_support::binDir() + QStringLiteral("/aeroplotter-convert"), args);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
}

TEST(ConvertArchive, ImportsEachLogOnceAndExportsTheRegion)
{
    QTemporaryDir dir;
    const QString archive = dir.filePath(QStringLiteral("survey.gpkg"));
    const QString summary = sourceDir() + QStringLiteral("/examples/sample-summary.txt");
    const QString netxml = sourceDir() + QStringLiteral("/app/domain/tests/data/survey.netxml");
    const ToolRun first = convert({QStringLiteral("--archive"), archive, QStringLiteral("--input"), summary});
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    const QString geojson = dir.filePath(QStringLiteral("region.geojson"));
    const QString box = QStringLiteral("-122.43,37.74,-122.414,37.76");   // the drive's south-west
    const ToolRun second = convert({QStringLiteral("--archive"), archive, QStringLiteral("--input"), summary, QStringLiteral("--input"),
                                    netxml, QStringLiteral("--bbox"), box, QStringLiteral("--geojson"), geojson});
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_TRUE(second.err.contains(QStringLiteral("already in the archive"))) << second.err.toStdString();

    QString error;
    const auto store = aero::archive::openArchive(archive, error);
    ASSERT_TRUE(store) << error.toStdString();
    EXPECT_EQ(store->counts(error)->imports, 2);
    aero::archive::GeoBox region;
    ASSERT_TRUE(aero::archive::parseGeoBox(box, region));
    QFile file(geojson);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QJsonArray features = QJsonDocument::fromJson(file.readAll()).object()[QStringLiteral("features")].toArray();
    EXPECT_EQ(features.size(), *store->countIn(region, error));
    EXPECT_GT(features.size(), 10);
    for (const QJsonValue& f : features) {
        const QJsonArray c = f[QStringLiteral("geometry")][QStringLiteral("coordinates")].toArray();
        EXPECT_TRUE(region.contains(c[0].toDouble(), c[1].toDouble()));
    }
}

TEST(ConvertArchive, BadRegionsAndUnreachableServersAreSaidPlainly)
{
    QTemporaryDir dir;
    const ToolRun badBox = convert({QStringLiteral("--archive"), dir.filePath(QStringLiteral("a.gpkg")), QStringLiteral("--bbox"),
                                    QStringLiteral("10,10,5,5"), QStringLiteral("--csv"), dir.filePath(QStringLiteral("a.csv"))});
    EXPECT_EQ(badBox.exitCode, 2);
    EXPECT_TRUE(badBox.err.contains(QStringLiteral("--bbox needs four numbers"))) << badBox.err.toStdString();
    const ToolRun noServer = convert({QStringLiteral("--archive"), QStringLiteral("postgresql://postgres@/x?host=/nonexistent&port=1"),
                                      QStringLiteral("--csv"), dir.filePath(QStringLiteral("b.csv"))});
    EXPECT_EQ(noServer.exitCode, 1);
    EXPECT_TRUE(noServer.err.contains(QStringLiteral("Could not connect to the archive server"))) << noServer.err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("b.csv"))));
}

} // namespace
