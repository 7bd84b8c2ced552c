// The GeoPackage archive: merging and idempotence, the file as GDAL reads it, refused files.
#include "ArchiveTestSupport.h"
#include "TempDir.h"
#include "archive/ArchiveWork.h"
#include "archive/GpkgArchive.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sqlite3.h>

using namespace aero::archive;
using namespace archive_test;
using testing_support::readFile;
using testing_support::sourceDir;
using testing_support::writeFile;

namespace {

QString sample() { return sourceDir() + QStringLiteral("/examples/sample-summary.txt"); }

TEST(GpkgArchive, MergesSurveysPerMacAndImportsEachFileOnce)
{
    QTemporaryDir dir;
    QString error;
    auto store = openArchive(dir.filePath(QStringLiteral("a.gpkg")), error);
    ASSERT_TRUE(store) << error.toStdString();
    importAndCheckMerge(*store);

    // A real log: once, then found by its content even under another name.
    const QString copy = writeFile(dir.filePath(QStringLiteral("copy.txt")), readFile(sample()));
    const ArchivedFile first = archiveSurveyFile(*store, sample());
    EXPECT_TRUE(first.ok) << first.message.toStdString();
    const ArchivedFile again = archiveSurveyFile(*store, copy);
    EXPECT_TRUE(again.ok);
    EXPECT_TRUE(again.message.contains(QStringLiteral("already in the archive"))) << again.message.toStdString();

    // Reopened, it goes on where it was; a region loads into the table.
    const auto before = store->counts(error);
    store.reset();
    store = openArchive(dir.filePath(QStringLiteral("a.gpkg")), error);
    ASSERT_TRUE(store) << error.toStdString();
    EXPECT_EQ(store->counts(error), before);
    aero::APList table;
    const RegionLoad region = loadRegion(*store, GeoBox{}, table);
    EXPECT_TRUE(region.error.isEmpty());
    EXPECT_EQ(region.added, table.count());
    EXPECT_EQ(region.inRegion, region.added);
    EXPECT_GT(region.added, 2);
}

TEST(GpkgArchive, GdalReadsBothLayersAndTheIndex)
{
    const QString ogrinfo = QStandardPaths::findExecutable(QStringLiteral("ogrinfo"));
    if (ogrinfo.isEmpty())
        GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("g.gpkg"));
    QString error;
    {
        auto store = openArchive(path, error);
        ASSERT_TRUE(store) << error.toStdString();
        importAndCheckMerge(*store);
    }
    const auto run = [&](const QStringList& args) {
        QProcess p;
        p.start(ogrinfo, args);
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_FALSE(err.contains(QStringLiteral("ERROR")) || err.contains(QStringLiteral("Warning"))) << err.toStdString();
        return QString::fromUtf8(p.readAllStandardOutput());
    };
    const QString layers = run({QStringLiteral("-so"), path});
    EXPECT_TRUE(layers.contains(QStringLiteral("aps (Point)"))) << layers.toStdString();
    EXPECT_TRUE(layers.contains(QStringLiteral("observations (Point)")));
    EXPECT_TRUE(layers.contains(QStringLiteral("imports")));
    const QString aps = run({QStringLiteral("-so"), path, QStringLiteral("aps")});
    EXPECT_TRUE(aps.contains(QStringLiteral("Feature Count: 2"))) << aps.toStdString();
    EXPECT_TRUE(aps.contains(QStringLiteral("Extent: (1.000000, 1.000000) - (4.000000, 4.000000)")));
    EXPECT_TRUE(aps.contains(QStringLiteral("EPSG\",4326")) || aps.contains(QStringLiteral("WGS 84")));
    // GDAL's spatial filter goes through the R-tree the triggers filled.
    const QString filtered = run({QStringLiteral("-spat"), QStringLiteral("1.5"), QStringLiteral("1.5"), QStringLiteral("2.5"),
                                  QStringLiteral("2.5"), QStringLiteral("-so"), path, QStringLiteral("observations")});
    EXPECT_TRUE(filtered.contains(QStringLiteral("Feature Count: 1"))) << filtered.toStdString();
}

TEST(GpkgArchive, RefusesBrokenAndForeignFilesAndLeavesThem)
{
    QTemporaryDir dir;
    sqlite3* db = nullptr;
    const QString plainDb = dir.filePath(QStringLiteral("plain.gpkg"));
    const QString foreign = dir.filePath(QStringLiteral("foreign.gpkg"));
    for (const auto& [path, sql] : {std::pair{plainDb, "CREATE TABLE t (x)"},
                                    std::pair{foreign, "PRAGMA application_id = 1196444487; CREATE TABLE gpkg_contents (x)"}}) {
        ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
        sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    const struct {
        QString path;
        const char* says;
    } cases[] = {
        {writeFile(dir.filePath(QStringLiteral("text.gpkg")), QByteArray(5000, 'x')), "is not a GeoPackage"},
        {plainDb, "is not a GeoPackage"},
        {foreign, "is not a survey archive"},
        {dir.path(), "is not a file"},
    };
    for (const auto& c : cases) {
        const QByteArray bytes = readFile(c.path);
        QString error;
        EXPECT_FALSE(openArchive(c.path, error)) << c.path.toStdString();
        EXPECT_TRUE(error.contains(QString::fromLatin1(c.says))) << error.toStdString();
        EXPECT_EQ(readFile(c.path), bytes);
    }
}

} // namespace
