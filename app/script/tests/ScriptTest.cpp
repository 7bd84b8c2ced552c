#include "ui/tests/TestDialogs.h"
#include "ui/ToolbarTable.h"
#include "window/frmPlotter.h"
#include "script/RunScript.h"
#include "domain/ScriptParser.h"
#include "archive/ArchiveStore.h"

#include "TempDir.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace aero {
namespace {

TEST(ScriptParser, CommandIsTheWordAfterTheDollarAndParametersGoByPosition)
{
    struct Case {
        const char* legend;
        const char* line;
        ScriptCommand command;
        const char* parameter;
    } cases[] = {
        {"new US", "$NEW US", ScriptCommand::New, "US"},
        {"new lower case keeps its text", "$new us", ScriptCommand::New, "us"},
        {"open in lower case from position 7", "$open /maps/a.kml", ScriptCommand::Open, "/maps/a.kml"},
        {"process path holding other words", "$PROCESS /home/me/weekend/new/open.txt", ScriptCommand::Process,
         "/home/me/weekend/new/open.txt"},
        {"savemap path with /newmaps", "$SAVEMAP /srv/newmaps/a.kml", ScriptCommand::SaveMap, "/srv/newmaps/a.kml"},
        {"trailing CR and blanks are not part of the path", "$SAVEBMP /tmp/x.bmp  \r", ScriptCommand::SaveBmp, "/tmp/x.bmp"},
        {"blanks inside a path stay", "$PROCESS /tmp/my survey.txt", ScriptCommand::Process, "/tmp/my survey.txt"},
        {"savecsv", "$SAVECSV out/a.csv", ScriptCommand::SaveCsv, "out/a.csv"},
        {"savehtml", "$SAVEHTML out/a.html", ScriptCommand::SaveHtml, "out/a.html"},
        {"batch", "$BATCH /logs", ScriptCommand::Batch, "/logs"},
        {"import", "$IMPORT /logs/drive.kismet", ScriptCommand::Import, "/logs/drive.kismet"},
        {"track", "$TRACK /logs/drive.gpx ", ScriptCommand::Track, "/logs/drive.gpx"},
        {"archive", "$ARCHIVE postgresql://db/a", ScriptCommand::Archive, "postgresql://db/a"},
        {"end", "$END", ScriptCommand::End, ""},
        {"unknown word", "$FOO bar", ScriptCommand::Unknown, ""},
        {"comment", "# $END in a comment", ScriptCommand::None, ""},
        {"dollar and one character", "$E", ScriptCommand::None, ""},
        {"empty", "", ScriptCommand::None, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        const ScriptLine l = parseScriptLine(QString::fromUtf8(c.line));
        EXPECT_EQ(l.command, c.command);
        EXPECT_EQ(l.parameter, QString::fromUtf8(c.parameter));
    }
}

class ScriptRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        window = std::make_unique<frmPlotter>(ctx);
        ctx.window = window.get();
        window->setMenuCommand(entries::ImportSummary, [this] {
            calls << QStringLiteral("import:") + ctx.CDG.FileName + (ctx.state.ScriptRunning ? "" : " (not scripted)");
        });
        window->setMenuCommand(entries::MapNewNorthAmerica, [this] { calls << "new:US"; ctx.state.MapLoaded = true; });
        window->setMenuCommand(entries::MapNewEurope, [this] { calls << "new:EU"; ctx.state.MapLoaded = true; });
        window->setMenuCommand(entries::MapLoad, [this] { calls << "load:" + ctx.CDG.FileName; });
        window->setMenuCommand(entries::MapSaveAs, [this] { calls << "saveas:" + ctx.CDG.FileName; });
    }
    void TearDown() override
    {
        ctx.state.Exiting = true;
        ctx.window = nullptr;
        window.reset();
    }
    QString script(const QByteArray& body)
    {
        return testing_support::writeFile(m_dir.filePath("s.aps"), body);
    }
    QString existing(const QString& name)
    {
        return testing_support::writeFile(m_dir.filePath(name), "x");
    }

    QTemporaryDir m_settings, m_dir;
    Settings settings;
    APList apList;
    ScriptedDialogs dialogs = testing::testDialogs();
    AppContext ctx{settings, apList, dialogs};
    std::unique_ptr<frmPlotter> window;
    QStringList calls;
};

TEST_F(ScriptRun, HeaderMustBeExact)
{
    for (const char* header : {"AEROPLOTTER SCRIPT FILE V1.0 \n", "Aeroplotter Script File V1.0\n", "\n"}) {
        SCOPED_TRACE(header);
        dialogs.reset();
        EXPECT_EQ(RunScript(ctx, script(QByteArray(header) + "$NEW US\n")), ScriptOutcome::BadHeader);
        EXPECT_EQ(dialogs.texts(), QStringList{"The script file header indicates an incompatible scripting version."});
        EXPECT_FALSE(ctx.state.ScriptRunning);
    }
    EXPECT_TRUE(calls.isEmpty());
}

TEST_F(ScriptRun, WindowsLineEndsWork)
{
    const QString summary = existing("a.txt");
    const QByteArray body = "AEROPLOTTER SCRIPT FILE V1.0\r\n$NEW US\r\n$PROCESS " + summary.toUtf8() + "\r\n";
    EXPECT_EQ(RunScript(ctx, script(body)), ScriptOutcome::FinishedWithoutEnd);
    EXPECT_EQ(calls, (QStringList{"new:US", "import:" + summary}));
}

TEST_F(ScriptRun, MissingScriptFileIsReported)
{
    EXPECT_EQ(RunScript(ctx, "/nonexistent/x.aps"), ScriptOutcome::MissingFile);
    EXPECT_EQ(dialogs.texts(),
              QStringList{"The script file /nonexistent/x.aps couldn't be found, check the file and path and try again."});
}

TEST_F(ScriptRun, PathsHoldingCommandWordsOnlyRunTheirOwnCommand)
{
    const QString a = existing("weekend-newopen.txt");
    const QString body = "AEROPLOTTER SCRIPT FILE V1.0\n"
                         "comment line $END\n"
                         "$E\n"
                         "$NEW US\n"
                         "$PROCESS " + a + "\n"
                         "$open " + a + "\n"
                         "$SAVEMAP /srv/newmaps/a.kml\n";
    EXPECT_EQ(RunScript(ctx, script(body.toUtf8())), ScriptOutcome::FinishedWithoutEnd);
    EXPECT_EQ(calls, (QStringList{"new:US", "import:" + a, "load:" + a, "saveas:/srv/newmaps/a.kml"}));
    EXPECT_FALSE(ctx.state.ScriptRunning);
    EXPECT_FALSE(window->ended());
}

TEST_F(ScriptRun, NewWithABadParameterStopsTheScript)
{
    const QString body = "AEROPLOTTER SCRIPT FILE V1.0\n$NEW EU\n$NEW us\n$NEW US\n";
    EXPECT_EQ(RunScript(ctx, script(body.toUtf8())), ScriptOutcome::Stopped);
    EXPECT_EQ(calls, QStringList{"new:EU"});
    EXPECT_EQ(dialogs.texts(), QStringList{"An invalid parameter has been found in a $NEW command"});
    EXPECT_FALSE(ctx.state.ScriptRunning);
}

TEST_F(ScriptRun, MissingFilesAreReportedAndTheScriptGoesOn)
{
    const QString b = existing("b.txt");
    const QString body = "AEROPLOTTER SCRIPT FILE V1.0\n$CLOSE\n$PROCESS /nope/a.txt\n$PROCESS " + b + "\n";
    EXPECT_EQ(RunScript(ctx, script(body.toUtf8())), ScriptOutcome::FinishedWithoutEnd);
    EXPECT_EQ(calls, QStringList{"import:" + b});
    EXPECT_EQ(dialogs.texts(), QStringList{"The file /nope/a.txt named in the script couldn't be found."});
    EXPECT_GT(dialogs.refusals(), 0);
}

TEST_F(ScriptRun, OverlongLinesAndCommandsWithoutAPathAreReportedAndRunNothing)
{
    const QByteArray body = "AEROPLOTTER SCRIPT FILE V1.0\n$NEW EU\n"
                            "#" + QByteArray(64 * 1024 - 1, ' ') + "$END\n"   // its tail must not end the program
                            "$SAVEMAP\n$savebmp   \n$SAVEHTML\n$SAVECSV\r\n$OPEN\n$PROCESS\n";
    EXPECT_EQ(RunScript(ctx, script(body)), ScriptOutcome::FinishedWithoutEnd);
    EXPECT_EQ(calls, (QStringList{"new:EU", "import:"}));   // the import says that no file was given
    EXPECT_EQ(dialogs.texts(), (QStringList{
                                   "Line 3 of the script is longer than 64 KiB and was not run.",
                                   "The $SAVEMAP command on line 4 of the script names no file.",
                                   "The $SAVEBMP command on line 5 of the script names no file.",
                                   "The $SAVEHTML command on line 6 of the script names no file.",
                                   "The $SAVECSV command on line 7 of the script names no file.",
                                   "The $OPEN command on line 8 of the script names no file.",
                               }));
    EXPECT_EQ(dialogs.refusals(), 6);
    EXPECT_FALSE(window->ended());
}

TEST_F(ScriptRun, BatchImportsEveryFileOfTheFolderSortedByNameEachByItsContent)
{
    for (int entry = 2; entry <= 5; ++entry)
        window->setMenuCommand({buttons::Import, entry}, [this, entry] {
            calls << QStringLiteral("import%1:").arg(entry) + ctx.CDG.FileName;
        });
    const QByteArray summary = "# $Creator: Network Stumbler Version 0.4.0\r\n# $Format: wi-scan summary\r\n";
    QTemporaryDir logs;
    for (const char* name : {"c.txt", "a.txt", "b.txt"})
        testing_support::writeFile(logs.filePath(name), summary);
    testing_support::writeFile(logs.filePath("d.csv"), "WigleWifi-1.4,appRelease=2.26\nMAC,SSID,AuthMode,RSSI\n");
    testing_support::writeFile(logs.filePath("e.txt"), "<?xml version=\"1.0\"?>\n<detection-run kismet-version=\"x\">\n");
    testing_support::writeFile(logs.filePath("e.gpsxml"), "<?xml version=\"1.0\"?>\n<gps-run gps-version=\"5\">\n");
    testing_support::writeFile(logs.filePath("f.log"), QByteArray("SQLite format 3\0", 16));
    testing_support::writeFile(logs.filePath("g.txt"), "x");
    const QString body = "AEROPLOTTER SCRIPT FILE V1.0\n$BATCH " + logs.path() + "\n$IMPORT " + logs.filePath("d.csv") + "\n";
    RunScript(ctx, script(body.toUtf8()));
    EXPECT_EQ(calls, (QStringList{"import:" + logs.filePath("a.txt"), "import:" + logs.filePath("b.txt"),
                                  "import:" + logs.filePath("c.txt"), "import3:" + logs.filePath("d.csv"),
                                  "import4:" + logs.filePath("e.txt"), "import5:" + logs.filePath("f.log"),
                                  "import3:" + logs.filePath("d.csv")}));
    EXPECT_EQ(dialogs.texts(), QStringList{"The file " + logs.filePath("g.txt") + " is not a survey log Aeroplotter can read."});
    EXPECT_GT(dialogs.refusals(), 0);
}

TEST_F(ScriptRun, ArchiveTakesTheFollowingImportsUntilTurnedOff)
{
    for (int entry = 2; entry <= 5; ++entry)
        window->setMenuCommand({buttons::Import, entry}, [] {});
    const QString source = testing_support::sourceDir();
    const QString gpkg = m_dir.filePath("archive.gpkg");
    const QString body = "AEROPLOTTER SCRIPT FILE V1.0\n$ARCHIVE /nonexistent/a.gpkg\n$PROCESS " + source
                         + "/examples/sample-summary.txt\n$ARCHIVE " + gpkg + "\n$PROCESS " + source
                         + "/examples/sample-summary.txt\n$IMPORT " + source + "/app/domain/tests/data/survey-wigle.csv\n$ARCHIVE\n"
                         + "$IMPORT " + source + "/app/domain/tests/data/survey.netxml\n";
    RunScript(ctx, script(body.toUtf8()));
    ASSERT_EQ(dialogs.texts().size(), 2) << dialogs.texts().join(" / ").toStdString();
    EXPECT_TRUE(dialogs.texts()[0].startsWith("Could not open the archive /nonexistent/a.gpkg")) << dialogs.texts()[0].toStdString();
    EXPECT_TRUE(dialogs.texts()[1].contains("2 unreadable lines were skipped")) << dialogs.texts()[1].toStdString();
    QString error;
    const auto store = archive::openArchive(gpkg, error);
    ASSERT_TRUE(store) << error.toStdString();
    EXPECT_EQ(store->counts(error)->imports, 2);
}

TEST_F(ScriptRun, EndEndsTheProgramWithoutAskingAndReadsNoFurther)
{
    const QString body = "AEROPLOTTER SCRIPT FILE V1.0\n$NEW US\n$end\n$NEW EU\n";
    EXPECT_EQ(RunScript(ctx, script(body.toUtf8())), ScriptOutcome::Ended);
    EXPECT_EQ(calls, QStringList{"new:US"});
    EXPECT_TRUE(window->ended());
    EXPECT_TRUE(ctx.state.Exiting);
    EXPECT_FALSE(ctx.state.MapLoaded);
    EXPECT_TRUE(dialogs.shown.empty());
}

} // namespace
} // namespace aero
