// The PostGIS archive against a real server (the private cluster the test fixture starts):
// merging, two writers at once, a server killed mid-import, an unreachable server.
#include "ArchiveTestSupport.h"
#include "archive/PgArchive.h"

#include <QProcess>
#include <thread>

using namespace aero::archive;
using namespace archive_test;

namespace {

QString cluster(const char* command)
{
    QProcess p;
    p.start(QStringLiteral(AERO_PG_SCRIPT), {QString::fromLatin1(command), QStringLiteral(AERO_PG_DIR), QString::number(AERO_PG_PORT)});
    p.waitForFinished(120000);
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAllStandardError());
}

QString uri(const QString& database)
{
    return QStringLiteral("postgresql://postgres@/%1?host=%2&port=%3").arg(database, QStringLiteral(AERO_PG_DIR)).arg(AERO_PG_PORT);
}

// A fresh database for each test, so each starts from an empty archive.
QString freshDatabase(const char* name)
{
    QProcess psql;
    psql.start(QStringLiteral("psql"), {QStringLiteral("-h"), QStringLiteral(AERO_PG_DIR), QStringLiteral("-p"),
                                        QString::number(AERO_PG_PORT), QStringLiteral("-U"), QStringLiteral("postgres"),
                                        QStringLiteral("-d"), QStringLiteral("postgres"), QStringLiteral("-c"),
                                        QStringLiteral("DROP DATABASE IF EXISTS %1").arg(QString::fromLatin1(name)),
                                        QStringLiteral("-c"), QStringLiteral("CREATE DATABASE %1").arg(QString::fromLatin1(name))});
    psql.waitForFinished(60000);
    EXPECT_EQ(psql.exitCode(), 0) << psql.readAllStandardError().toStdString();
    return uri(QString::fromLatin1(name));
}

std::unique_ptr<ArchiveStore> openOrFail(const QString& target)
{
    QString error;
    auto store = openArchive(target, error);
    EXPECT_TRUE(store) << error.toStdString();
    return store;
}

// A survey of `count` sightings of `macs` APs, MACs shared with every other such survey.
std::vector<ObservationRow> survey(int count, int macs, int salt)
{
    std::vector<ObservationRow> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const QByteArray mac = QByteArray::number(0x100000 + (i * 7 + salt) % macs, 16).rightJustified(12, '0');
        rows.push_back(sighting(mac.constData(), static_cast<float>(-40 - (i + salt) % 50), 1000 + i,
                                {{(i % 1000) * 0.001, 43.0 + (i % 997) * 0.001}}));
    }
    return rows;
}

TEST(PgArchive, MergesSurveysPerMacAndImportsEachFileOnce)
{
    const auto store = openOrFail(freshDatabase("merge"));
    ASSERT_TRUE(store);
    importAndCheckMerge(*store);
}

TEST(PgArchive, TwoWritersAtOnceLoseNothingAndDuplicateNothing)
{
    const QString target = freshDatabase("writers");
    std::vector<std::vector<ObservationRow>> files;
    for (int salt = 0; salt < 4; ++salt)
        files.push_back(survey(20000, 3000, salt));
    // Both import files 1 and 2, in opposite orders, with the same APs in every file.
    const std::vector<int> orders[] = {{0, 1, 2}, {2, 1, 3}};
    std::vector<ArchiveImport> results[2];
    std::vector<std::thread> writers;
    for (int w = 0; w < 2; ++w)
        writers.emplace_back([&, w] {
            QString error;
            auto store = openArchive(target, error);
            for (const int f : orders[w])
                results[w].push_back(store ? store->importRows(source(QByteArray::number(f).constData()), files[static_cast<std::size_t>(f)])
                                           : ArchiveImport{ArchiveImport::Outcome::Failed, 0, 0, error});
        });
    for (std::thread& t : writers)
        t.join();
    int imported = 0;
    for (const auto& list : results)
        for (const ArchiveImport& r : list) {
            EXPECT_TRUE(r.ok()) << r.message.toStdString();
            imported += r.outcome == ArchiveImport::Outcome::Imported;
        }
    EXPECT_EQ(imported, 4);
    QString error;
    EXPECT_EQ(openOrFail(target)->counts(error), (ArchiveCounts{4, 80000, 3000, 80000})) << error.toStdString();
}

TEST(PgArchive, ServerKilledMidImportLeavesNoHalfFileAndTheSameImportCompletes)
{
    const QString target = freshDatabase("killed");
    const auto first = survey(1000, 500, 1);
    const auto big = survey(150000, 20000, 2);
    QString error;
    {
        const auto store = openOrFail(target);
        ASSERT_TRUE(store);
        ASSERT_TRUE(store->importRows(source("first"), first).ok());
        bool killed = false;
        const ArchiveImport cut = store->importRows(source("big"), big, [&](qint64 rows) {
            if (!killed && rows < static_cast<qint64>(big.size()))
                killed = cluster("kill").isEmpty();
        });
        ASSERT_TRUE(killed);
        EXPECT_EQ(cut.outcome, ArchiveImport::Outcome::Failed);
        EXPECT_TRUE(cut.message.contains(QStringLiteral("went away"))) << cut.message.toStdString();
        EXPECT_FALSE(store->counts(error));
        ASSERT_EQ(cluster("restart"), QString());
    }
    // The same import again: the first file is there once, the big one now arrives whole.
    const auto store = openOrFail(target);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->counts(error), (ArchiveCounts{1, 1000, 500, 1000}));
    EXPECT_EQ(store->importRows(source("first"), first).outcome, ArchiveImport::Outcome::AlreadyArchived);
    EXPECT_EQ(store->importRows(source("big"), big).outcome, ArchiveImport::Outcome::Imported);
    EXPECT_EQ(store->counts(error), (ArchiveCounts{2, 151000, 20000, 151000})) << error.toStdString();
}

TEST(PgArchive, UnreachableServerIsSaidPlainly)
{
    QString error;
    EXPECT_FALSE(openArchive(QStringLiteral("postgresql://postgres@/none?host=/nonexistent-socket-dir&port=1"), error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Could not connect to the archive server:"))) << error.toStdString();
}

} // namespace
