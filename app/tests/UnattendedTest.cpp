// The program itself as a separate process: the demo script headless, a script with a failing
// line, and the automation service on the session bus.
#include "ProgramFixture.h"

#include "ui/DoEvents.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <sys/stat.h>

namespace aero::testing {
namespace {

class UnattendedTest : public ProgramFixture {
protected:
    QProcessEnvironment env()
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("QT_QPA_PLATFORM", "offscreen");
        e.insert("XDG_CONFIG_HOME", path("config"));
        e.insert("XDG_CACHE_HOME", path("cache"));
        return e;
    }
    int run(const QStringList& args, QByteArray* err = nullptr)
    {
        QProcess p;
        p.setProcessEnvironment(env());
        p.setWorkingDirectory(m_dir.path());
        p.start(testing_support::binDir() + "/aeroplotter", args);
        if (!p.waitForFinished(120000))
            return -1;
        if (err)
            *err = p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    }
    void linkExamples()
    {
        QFile::link(testing_support::sourceDir() + "/examples", path("examples"));
        QDir(m_dir.path()).mkpath("out");
    }
};

TEST_F(UnattendedTest, DemoScriptProducesTheFourFilesAndExitsZero)
{
    linkExamples();
    QByteArray err;
    ASSERT_EQ(run({"--script", "examples/demo.aps"}, &err), 0) << err.toStdString();

    MapControl kml;
    kml.OpenMapFile(path("out/demo.kml"));
    QProcess tool;
    tool.start(testing_support::binDir() + "/aeroplotter-convert",
               {"--netstumbler", path("examples/sample-summary.txt"), "--csv", path("tool.csv")});
    ASSERT_TRUE(tool.waitForFinished(60000));
    const QByteArray csv = testing_support::readFile(path("out/demo.csv"));
    EXPECT_EQ(csv, testing_support::readFile(path("tool.csv")));
    int plotted = 0;
    for (const QByteArray& l : csv.split('\n')) {
        const QList<QByteArray> f = l.split(',');
        if (f.size() >= 6 && (f[f.size() - 3] != "0" || f[f.size() - 2] != "0"))
            ++plotted;
    }
    EXPECT_EQ(kml.markerCount(), plotted);
    EXPECT_GT(plotted, 200);

    const QByteArray bmp = testing_support::readFile(path("out/demo.bmp"));
    ASSERT_TRUE(bmp.startsWith("BM"));
    EXPECT_EQ(QImage(path("out/demo.bmp")).size(), QSize(1600, 1200)) << "the PictureSize setting, not the window's size";
    const QByteArray html = testing_support::readFile(path("out/demo.html"));
    EXPECT_TRUE(html.contains("\\u003cscript\\u003e")) << "the sample's hostile SSID, as data";
    EXPECT_EQ(html.count("<script"), 2) << "only the page's own data and code";
}

TEST_F(UnattendedTest, FailingLineGivesANonZeroExitAndTheRestIsDone)
{
    linkExamples();
    file("fail.aps", "AEROPLOTTER SCRIPT FILE V1.0\r\n$NEW US\r\n$PROCESS examples/missing.txt\r\n"
                     "$PROCESS examples/sample-summary.txt\r\n$IMPORT examples/demo.aps\r\n$SAVECSV out/x.csv\r\n$END\r\n");
    QByteArray err;
    EXPECT_EQ(run({"/S", "fail.aps"}, &err), 1);
    EXPECT_TRUE(err.contains("examples/missing.txt")) << err.toStdString();
    EXPECT_TRUE(err.contains("The file examples/demo.aps is not a survey log Aeroplotter can read.")) << err.toStdString();
    EXPECT_GT(testing_support::readFile(path("out/x.csv")).count('\n'), 200);
}

TEST_F(UnattendedTest, SkippedLinesAndMissingPathsAreReportedOnStandardErrorWithExitOne)
{
    file("bad.txt", summary({line("N 45.1", "E 7.6", "a", "00:00:00:00:00:01", 90, "0011"), "N 45.2;E 7.7;( b );BSS"}));
    file("s.aps", "AEROPLOTTER SCRIPT FILE V1.0\r\n$NEW US\r\n$PROCESS bad.txt\r\n$PROCESS\r\n$SAVECSV\r\n$END\r\n");
    QByteArray err;
    EXPECT_EQ(run({"--script", "s.aps"}, &err), 1);
    for (const char* expected : {"1 line of bad.txt could not be read and was skipped: line 5.",
                                 "No input file has been specified.",
                                 "The $SAVECSV command on line 5 of the script names no file."})
        EXPECT_TRUE(err.contains(expected)) << expected << "\n" << err.toStdString();
}

// Paths that are not regular files (a FIFO, a link to one, a device) are refused at once: the
// script goes on and exits 1 instead of waiting or reading without end.
TEST_F(UnattendedTest, FifosAndDevicesNamedInAScriptAreRefusedNotWaitedOn)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    QDir(m_dir.path()).mkpath("week");
    QFile::link(path("fifo"), path("week/a-link-to-a-fifo.txt"));
    file("week/b.txt", summary({line("N 45.1", "E 7.6", "a", "00:00:00:00:00:01", 90, "0011")}));
    const struct {
        const char* line;
        const char* said;
    } cases[] = {
        {"$OPEN /dev/zero", "/dev/zero"},
        {"$OPEN fifo", "fifo"},
        {"$IMPORT week/a-link-to-a-fifo.txt", "a-link-to-a-fifo.txt"},
        {"$BATCH week", "a-link-to-a-fifo.txt"},
    };
    for (const auto& c : cases) {
        file("s.aps", QByteArray("AEROPLOTTER SCRIPT FILE V1.0\r\n$NEW US\r\n") + c.line + "\r\n$SAVECSV out.csv\r\n$END\r\n");
        QByteArray err;
        EXPECT_EQ(run({"--script", "s.aps"}, &err), 1) << c.line;
        EXPECT_TRUE(err.contains(c.said)) << c.line << ": " << err.toStdString();
    }
    EXPECT_EQ(testing_support::readFile(path("out.csv")).count('\n'), 1);   // $BATCH read b.txt
}

TEST_F(UnattendedTest, UnreadableScriptsExitTwo)
{
    file("bad.aps", "AEROPLOTTER SCRIPT FILE V1.0 \r\n$END\r\n");
    EXPECT_EQ(run({"--script", "bad.aps"}), 2);
    EXPECT_EQ(run({"--script", "nope.aps"}), 2);
}

TEST_F(UnattendedTest, AutomationServiceAnswersFromAnotherProcess)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        GTEST_SKIP() << "no session bus (run under dbus-run-session)";
    QProcess app;
    app.setProcessEnvironment(env());
    app.start(testing_support::binDir() + "/aeroplotter", {});
    // Other tests start the program too: wait until the name belongs to this process.
    ASSERT_TRUE(waitUntil([&] { return bus.interface()->servicePid("Aeroplotter.Application").value() == quint64(app.processId()); },
                          std::chrono::seconds(20)))
        << app.readAllStandardError().toStdString();
    auto call = [&](const QString& method, const QVariantList& args = {}) {
        QDBusMessage m = QDBusMessage::createMethodCall("Aeroplotter.Application", "/Application",
                                                        "Aeroplotter._Application", method);
        m.setArguments(args);
        return bus.call(m, QDBus::Block, 5000);
    };
    auto property = [&](const char* name) {
        QDBusMessage m = QDBusMessage::createMethodCall("Aeroplotter.Application", "/Application",
                                                        "org.freedesktop.DBus.Properties", "Get");
        m.setArguments({"Aeroplotter._Application", QString::fromLatin1(name)});
        const QDBusMessage reply = bus.call(m, QDBus::Block, 5000);
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    };
    const QDBusMessage created = call("Create", {QString("anything")});
    ASSERT_EQ(created.type(), QDBusMessage::ReplyMessage) << created.errorMessage().toStdString();
    EXPECT_EQ(created.arguments().value(0).toBool(), false);
    EXPECT_EQ(call("GPSFix", {45.0, 7.0, 100.0}).type(), QDBusMessage::ReplyMessage);
    const QDBusMessage aps = call("NewAPs", {QVariant::fromValue<qint16>(3), QVariant::fromValue<qint16>(1),
                                             QVariant::fromValue<qint16>(0), QVariant::fromValue<qint16>(40)});
    EXPECT_EQ(aps.type(), QDBusMessage::ReplyMessage) << aps.errorMessage().toStdString();
    EXPECT_FALSE(property("ScriptInput").toBool());
    call("StartInput");
    EXPECT_TRUE(property("ScriptInput").toBool());
    call("StopInput");
    EXPECT_FALSE(property("ScriptInput").toBool());
    EXPECT_FALSE(property("Created").toBool());
    EXPECT_EQ(property("LastCreateArgument").toString(), "anything");

    QDBusMessage intro = QDBusMessage::createMethodCall("Aeroplotter.Application", "/Application",
                                                        "org.freedesktop.DBus.Introspectable", "Introspect");
    const QString xml = bus.call(intro, QDBus::Block, 5000).arguments().value(0).toString();
    EXPECT_TRUE(xml.contains("interface name=\"Aeroplotter._Application\""));
    for (const char* op : {"Create", "GPSFix", "NewAPs", "StartInput", "StopInput"})
        EXPECT_TRUE(xml.contains(QString("method name=\"%1\"").arg(op))) << op;
    app.terminate();
    app.waitForFinished(10000);
}

} // namespace
} // namespace aero::testing
