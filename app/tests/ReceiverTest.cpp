// The two receiver windows of the whole program against the receiver simulator, a real process
// on a real pseudo-terminal: track downloads drawn on the map, waypoint uploads, faulty and
// silent lines, the refusals of the GPS entries, and the drawing of the work file.
#include "ReceiverFixture.h"

namespace aero::testing {
namespace {

class ReceiverLineTest : public ReceiverTest, public ::testing::WithParamInterface<Line> {
protected:
    void SetUp() override
    {
        ReceiverTest::SetUp();
        const Line l = GetParam();
        startSim(navlet_test::withFaults(navlet_test::handheldScenario(l.link), l.corruptEvery, l.nakEvery));
        for (navlet::Navlet* n : {&downloadWindow().download().navlet(), &uploadWindow().upload().navlet()})
            QObject::connect(n, &navlet::Navlet::HexDebug, &context, [this](const QString& trace) {
                naks += trace.startsWith(QStringLiteral("PC -\u00BB GPS 10 15 "))
                        || trace.startsWith(QStringLiteral("PC \u00AB- GPS 10 15 "));
            });
    }
    void TearDown() override
    {
        if (GetParam().corruptEvery > 0)
            EXPECT_GT(naks, 0) << "the faulty line did corrupt or reject packets";
        else
            EXPECT_EQ(naks, 0);
        ReceiverTest::TearDown();
    }

    QObject context;
    int naks = 0;
};

TEST_P(ReceiverLineTest, DownloadWritesEveryPointOnceAndDrawsBothSegments)
{
    newMap();
    ASSERT_TRUE(download());
    EXPECT_EQ(downloadWindow().download().state(), TrackDownload::State::Finished);
    EXPECT_EQ(downloadWindow().progressText(), "Drawing track on the current map...");
    EXPECT_EQ(downloadWindow().download().pointCount(), 12);
    EXPECT_EQ(downloadWindow().download().trackCount(), 2);

    const std::vector<navlet::cTrack> sent = navlet_test::expectedPoints(GetParam().link);
    const std::vector<TrackPointLine> lines = pointLines();
    ASSERT_EQ(lines.size(), sent.size()) << "no point lost, none twice";
    for (std::size_t i = 0; i < sent.size(); ++i) {
        SCOPED_TRACE(i);
        const int index = i < 7 ? int(i) + 1 : int(i) - 6;
        EXPECT_EQ(lines[i], (TrackPointLine{index, sent[i].Lat, sent[i].Lon, i == 7}));
    }
    const QByteArray bytes = testing_support::readFile(path("Navlet.tmp"));
    EXPECT_TRUE(bytes.startsWith("1,")) << bytes.left(40).toStdString();
    EXPECT_EQ(bytes.count("#FALSE#\r\n") + bytes.count("#TRUE#\r\n"), 12) << "CR LF after every line";

    const std::vector<Shape> drawn = polylines();
    ASSERT_EQ(drawn.size(), 2u);
    for (std::size_t s = 0; s < 2; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(drawn[s].lineColor, TrackColor);
        EXPECT_EQ(drawn[s].lineSetting, 1);
        const std::size_t first = s == 0 ? 0 : 7;
        ASSERT_EQ(drawn[s].points.size(), s == 0 ? 7u : 5u);
        for (std::size_t p = 0; p < drawn[s].points.size(); ++p) {
            EXPECT_EQ(drawn[s].points[p].lat, sent[first + p].Lat);
            EXPECT_EQ(drawn[s].points[p].lon, sent[first + p].Lon);
        }
    }
    EXPECT_NEAR(map().viewCentre().lat, sent[7].Lat, 1e-9) << "centred on the last segment's first point";
    EXPECT_NEAR(map().viewCentre().lon, sent[7].Lon, 1e-9);
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();
    EXPECT_FALSE(downloadWindow().download().navlet().isPortOpen());
}

TEST_P(ReceiverLineTest, UploadSendsTheTickedApsUnderTheirShortNames)
{
    ctx().settings.setValue("NavletChars", "6");
    withAps();
    ASSERT_TRUE(connectUpload(GetParam().link));
    EXPECT_EQ(uploadWindow().lblMI->text(), Dot + " Model Information: Handheld " + GetParam().link);
    EXPECT_TRUE(uploadWindow().cmdDone->isEnabled());

    const UploadListModel& rows = uploadWindow().rows();
    ASSERT_EQ(rows.count(), 3);
    const int home = uploadRow("HomeNetwork"), home2 = uploadRow("homenetwork2"), cafe = uploadRow("cafe");
    ASSERT_TRUE(home >= 0 && home2 >= 0 && cafe >= 0);
    // D103 (the L002 receiver's) keeps capitals only.
    const bool capitals = GetParam().link == "L002";
    EXPECT_EQ(rows.rowAt(home).label, capitals ? "HOMENE" : "HomeNe");
    EXPECT_EQ(rows.rowAt(home2).label, capitals ? "HOM001" : "hom001");
    EXPECT_EQ(rows.rowAt(cafe).label, capitals ? "CAFE" : "cafe");
    EXPECT_EQ(rows.rowAt(home2).latitude, "-33.85680");
    EXPECT_EQ(rows.rowAt(home2).longitude, "151.21530");
    EXPECT_EQ(rows.rowAt(cafe).longitude, "-4.89520");

    uploadWindow().rows().setTicked(home, true);
    uploadWindow().rows().setTicked(home2, true);
    uploadWindow().cmdDone->click();
    EXPECT_EQ(uploadWindow().lblLS->text(), Dot + " Link Status: Finished uploading. Sent 2 waypoints.");

    const auto events = sim->waitForEvents(3);
    ASSERT_EQ(events.size(), 3u);
    const std::vector<navlet::cWaypoint> expected = {sentWaypoint(rows.rowAt(home).label, 45.12346, 7.65432),
                                                     sentWaypoint(rows.rowAt(home2).label, -33.8568, 151.2153)};
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].value("event").toString(), "waypoint");
        EXPECT_EQ(navlet::waypointFromJson(events[i].value("waypoint").toObject()), expected[i]);
    }
    EXPECT_EQ(events[2].value("event").toString(), "uploadComplete");
    EXPECT_EQ(events[2].value("announced").toInt(), 2);
    EXPECT_EQ(events[2].value("received").toInt(), 2);
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();

    uploadWindow().cmdCancel->click();
    EXPECT_FALSE(uploadWindow().isVisible());
    EXPECT_FALSE(uploadWindow().upload().navlet().isPortOpen());
}

INSTANTIATE_TEST_SUITE_P(Lines, ReceiverLineTest,
                         ::testing::Values(Line{"L001", 0, 0}, Line{"L002", 0, 0}, Line{"L001", 5, 7},
                                           Line{"L002", 5, 7}),
                         lineName);

TEST_F(ReceiverTest, ShortSegmentsAndPointsWithoutAFixAreNotDrawnButKeptInTheFile)
{
    QJsonObject scenario = navlet_test::handheldScenario("L001");
    QJsonArray shortSegment, withGap;
    for (int i = 0; i < 4; ++i)
        shortSegment.append(QJsonObject{{"Lat", 40.0 + i * 0.001}, {"Lon", -3.0}, {"Time", "2003/05/17-14:03:09"}});
    for (int i = 0; i < 6; ++i)
        withGap.append(QJsonObject{{"Lat", i == 2 ? 0.0 : 41.0 + i * 0.001}, {"Lon", -3.5}, {"Time", "2003/05/17-15:00:00"}});
    scenario.insert("tracks", QJsonObject{{"segments", QJsonArray{shortSegment, withGap}}});
    startSim(scenario);
    newMap();
    ASSERT_TRUE(download());

    const std::vector<TrackPointLine> lines = pointLines();
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[4], (TrackPointLine{1, quantized(41.0), quantized(-3.5), true}));
    EXPECT_EQ(lines[6].lat, 0.0);
    const std::vector<Shape> drawn = polylines();
    ASSERT_EQ(drawn.size(), 1u) << "the 4-point segment is left out";
    ASSERT_EQ(drawn[0].points.size(), 5u) << "the point without a fix is left out";
    for (const Location& p : drawn[0].points)
        EXPECT_NE(p.lat, 0.0);
}

TEST_F(ReceiverTest, ASecondDownloadReplacesTheFileAndTheWindowSitsAtTheMainWindowsLowerRight)
{
    startSim(navlet_test::handheldScenario("L001"));
    newMap();
    window().move(40, 30);
    ASSERT_TRUE(download());
    ASSERT_TRUE(download());
    EXPECT_EQ(pointLines().size(), 12u);
    EXPECT_EQ(polylines().size(), 4u);
    const QRect main = window().frameGeometry(), own = downloadWindow().frameGeometry();
    EXPECT_EQ(own.right(), main.right() - 100 / 15);
    EXPECT_EQ(own.bottom(), main.bottom() - 100 / 15);
}

TEST_F(ReceiverTest, ASilentReceiverIsReportedAndNothingIsDrawnOrSent)
{
    startSim(navlet_test::withFaults(navlet_test::handheldScenario("L001"), 0, 0, /*silentAfter=*/0));
    withAps();
    window().tbMain_ButtonMenuClick(entries::NavletDownload);
    ASSERT_TRUE(QTest::qWaitFor([&] { return downloadWindow().progressText() == "GPS did not respond."; }, WaitMs));
    EXPECT_TRUE(downloadWindow().isVisible()) << "the text stays a moment";
    EXPECT_FALSE(downloadWindow().download().navlet().isPortOpen());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !downloadWindow().isVisible(); }, WaitMs));
    EXPECT_EQ(downloadWindow().download().state(), TrackDownload::State::NoResponse);
    EXPECT_TRUE(polylines().empty());

    window().tbMain_ButtonMenuClick(entries::NavletUpload);
    ASSERT_TRUE(QTest::qWaitFor([&] { return uploadWindow().lblLS->text() == Dot + " Link Status: GPS did not respond."; },
                                WaitMs));
    EXPECT_EQ(uploadWindow().lblMI->text(), " Model information:");
    EXPECT_FALSE(uploadWindow().cmdDone->isEnabled());
    EXPECT_EQ(uploadWindow().rows().count(), 0);
    EXPECT_TRUE(uploadWindow().isVisible()) << "the upload window stays open";
    EXPECT_TRUE(sim->waitForEvents(1, std::chrono::milliseconds(100)).empty());
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();
}

TEST_F(ReceiverTest, AReceiverThatStopsAcknowledgingEndsTheUploadWithoutEndOfRecords)
{
    withAps();
    // Silent after its answers to reset, position stop, product request, product data and
    // protocol array: the record count is never acknowledged.
    startSim(navlet_test::withFaults(navlet_test::handheldScenario("L001"), 0, 0, /*silentAfter=*/5));
    ASSERT_TRUE(connectUpload("L001"));
    uploadWindow().rows().setTicked(0, true);
    uploadWindow().cmdDone->click();
    EXPECT_EQ(uploadWindow().lblLS->text(), Dot + " Link Status: Failed to send waypoint to GPS.");
    EXPECT_EQ(uploadWindow().upload().state(), WaypointUpload::State::SendFailed);
    EXPECT_TRUE(sim->waitForEvents(1, std::chrono::milliseconds(200)).empty()) << "no waypoint, no end of records";
}

TEST_F(ReceiverTest, ClosingTheDownloadWindowMidTransferStopsItAndDrawsNothing)
{
    QJsonObject scenario = navlet_test::handheldScenario("L001");
    scenario.insert("tracks", QJsonObject{{"generate", QJsonObject{{"points", 5000}, {"segments", 1}, {"Lat", 48.0},
                                                                    {"Lon", 2.0}, {"Time", "2003/05/17-14:03:09"}}}});
    startSim(scenario);
    newMap();
    QObject context;
    // The user's click on the close box, while points are arriving.
    QObject::connect(&downloadWindow().download(), &TrackDownload::progress, &context, [this](const QString& text) {
        if (text.startsWith("Downloading tracks...") && downloadWindow().download().pointCount() > 20)
            downloadWindow().close();
    });
    ASSERT_TRUE(download());
    EXPECT_EQ(downloadWindow().download().state(), TrackDownload::State::Aborted);
    EXPECT_LT(downloadWindow().download().pointCount(), 5000);
    EXPECT_FALSE(downloadWindow().download().navlet().isPortOpen());
    EXPECT_TRUE(polylines().empty());
    // The points that came are kept, and the user is told so, counted as the file holds them.
    const std::size_t kept = pointLines().size();
    EXPECT_EQ(kept, static_cast<std::size_t>(downloadWindow().download().pointCount()));
    ASSERT_EQ(dialogs.shown.size(), 1u) << dialogs.texts().join("|").toStdString();
    EXPECT_TRUE(dialogs.last().contains(QStringLiteral("The %1 points received are kept").arg(kept)))
        << dialogs.last().toStdString();
}

TEST_F(ReceiverTest, AWorkFileThatCannotBeWrittenIsReportedUnderTheHandlersNames)
{
    startSim(navlet_test::handheldScenario("L001"));
    newMap();
    downloadWindow().download().setPointFile(path("no-such-folder/Navlet.tmp"));
    dialogs.reportsExpected = true;
    window().tbMain_ButtonMenuClick(entries::NavletDownload);
    ASSERT_TRUE(QTest::qWaitFor([&] { return downloadWindow().download().state() == TrackDownload::State::Failed; },
                                WaitMs));
    ASSERT_EQ(dialogs.reports.size(), 2u);
    EXPECT_TRUE(dialogs.reports[0].contains("Program routine: Navlet_Receive\r\nError code: 75"))
        << dialogs.reports[0].toStdString();
    EXPECT_TRUE(dialogs.reports[1].contains("Program routine: frmNavlet_GetNavlet\r\nError code: 53"))
        << dialogs.reports[1].toStdString();
    EXPECT_TRUE(downloadWindow().isVisible()) << "the user closes it";
    EXPECT_TRUE(polylines().empty());
}

TEST_F(ReceiverTest, AnEmptySendStillEndsTheTransferAndClearUnticksEveryRow)
{
    withAps();
    startSim(navlet_test::handheldScenario("L001"));
    ASSERT_TRUE(connectUpload("L001"));
    EXPECT_EQ(uploadWindow().lblLS->text(), Dot + " Link Status: GPS Connected");
    for (int i = 0; i < 3; ++i)
        uploadWindow().rows().setTicked(i, true);
    uploadWindow().cmdClear->click();
    EXPECT_TRUE(uploadWindow().rows().tickedRows().empty());
    uploadWindow().cmdDone->click();
    EXPECT_EQ(uploadWindow().lblLS->text(), Dot + " Link Status: Finished uploading. Sent 0 waypoints.");
    const auto events = sim->waitForEvents(1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].value("event").toString(), "uploadComplete");
    EXPECT_EQ(events[0].value("announced").toInt(), 0);
}

TEST_F(ReceiverTest, ClickingARowCentresTheUploadMap)
{
    withAps();
    startSim(navlet_test::handheldScenario("L001"));
    ASSERT_TRUE(connectUpload("L001"));
    const int row = uploadRow("homenetwork2");
    uploadWindow().lstUpload_Click(row);
    EXPECT_NEAR(program->uploadMap().viewCentre().lat, -33.8568, 1e-9);
    EXPECT_NEAR(program->uploadMap().viewCentre().lon, 151.2153, 1e-9);
    EXPECT_EQ(uploadWindow().lstUpload->model()->headerData(3, Qt::Horizontal).toString(), "GPS Label");
}

TEST_F(ReceiverTest, TheGpsEntriesRefuseWithoutAMapWhileGpsIsOnAndWithoutAps)
{
    window().tbMain_ButtonMenuClick(entries::NavletDownload);
    window().tbMain_ButtonMenuClick(entries::NavletUpload);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    for (const auto& shown : dialogs.shown) {
        EXPECT_EQ(shown.text, "Cannot execute GPS functions until a map has been loaded.");
        EXPECT_EQ(shown.icon, Icon::Exclamation);
    }
    EXPECT_FALSE(downloadWindow().isVisible());
    EXPECT_FALSE(uploadWindow().isVisible());

    newMap();
    window().tbMain_ButtonMenuClick(entries::NavletUpload);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last(), "There are no APs listed, please import or open a map file containing APs.");
    EXPECT_EQ(dialogs.shown[0].icon, Icon::Information);
    EXPECT_FALSE(uploadWindow().isVisible());

    withAps();
    ctx().state.GPSEnabled = true;
    window().tbMain_ButtonMenuClick(entries::NavletDownload);
    window().tbMain_ButtonMenuClick(entries::NavletUpload);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(downloadWindow().isVisible());
    EXPECT_FALSE(uploadWindow().isVisible());
    ctx().state.GPSEnabled = false;

    window().tbMain_ButtonMenuClick(entries::NavletUpload);
    EXPECT_TRUE(uploadWindow().isVisible());
    EXPECT_EQ(uploadWindow().windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(uploadWindow().lblMI->text(), " Model information:");
    EXPECT_EQ(uploadWindow().lblLS->text(), " Link Status:");
    EXPECT_FALSE(uploadWindow().cmdDone->isEnabled());
    EXPECT_EQ(uploadWindow().cmdDone->text(), "&Go");
}

// The windows and navlet-tool against the strict receiver (its own framing, ACKs checked against
// the packet, its own resends, one waypoint per name), each with a simulator of its own, as real
// processes on pseudo-terminals: every transfer ends alike, whole or saying what is missing.
namespace strictline {

const QStringList A300 = {"P000", "L001", "A100", "D108", "A300", "D301"};
const QStringList A301 = {"P000", "L001", "A100", "D108", "A301", "D310", "D301", "A400", "D400"};

// 50 points, the 21st to 23rd equal (a receiver standing still, without time).
QJsonObject standingReceiver()
{
    QJsonArray points;
    for (int i = 0; i < 50; ++i) {
        const int at = i >= 20 && i <= 22 ? 20 : i;
        points.append(QJsonObject{{"Lat", 40.0 + at * 0.001}, {"Lon", -3.0}, {"Time", i >= 20 && i <= 22 ? "" : navlet_test::generatedTime(i)}});
    }
    QJsonObject scenario = navlet_test::generatedLog(A300, 0, 1);
    scenario.insert("tracks", QJsonObject{{"segments", QJsonArray{points}}});
    return scenario;
}

// Names in Windows-1252 that fold onto each other: "Café ’1", "CAFE '1", "„Net€1"...
QByteArray foldingSsid(int i)
{
    static const char* const forms[] = {"Caf\xe9 \x92%d", "CAFE '%d", "\x84Net\x80%d", "Net-%d", "\x93Stra\xdf" "e\x94 %d"};
    return QByteArray(QString::asprintf(forms[i % 5], i / 5).toLatin1());
}

} // namespace strictline

TEST_F(ReceiverTest, AgainstAStrictReceiverTheWindowsAndTheToolEndAlike)
{
    using namespace strictline;
    using navlet_test::strict;
    using navlet_test::generatedLog;
    // Real time: the receiver resends after 0.6 to 1 s, whatever the window's clock.
    transfer::Timing::setScale(1.0);
    const navlet_test::StrictFaults realistic = navlet_test::RealisticLine;
    const int n = testing_support::transferPoints();
    const QByteArray complete = QStringLiteral("Track download complete. %1 points retrieved in 4 tracks.").arg(n).toUtf8();
    const QByteArray says = QByteArray::number(n) + " track points";
    struct Row {
        const char* legend;
        QJsonObject scenario;
        int points;             // in the work file and printed by the tool; -1: fewer than the log holds
        int segments;           // drawn, in the work file and in the GPX
        const char* status;     // a progress text of the window
        const char* message;    // in the window's message, or "" for none
        int exitCode;           // the tool's
        const char* says;       // on the tool's standard error
    };
    const Row rows[] = {
        {"points in four segments from an A300 receiver", strict(generatedLog(A300, n, 4), realistic), n, 4,
         complete.constData(), "", 0, says.constData()},
        {"points in four tracks from an A301 receiver: headers and points",
         strict(generatedLog(A301, n, 4), realistic), n, 4, complete.constData(), "", 0, says.constData()},
        {"50 points, three of them equal in a row", strict(standingReceiver(), realistic), 50, 1,
         "Track download complete. 50 points retrieved in 1 tracks.", "", 0, "50 track points"},
        {"silence after 300 of 500 packets: what came is kept and drawn",
         strict(generatedLog(A301, 500, 1), {0, 0, 0, 0, 300}), -1, 1, "Track download incomplete.",
         "Track download incomplete: the receiver stopped before the end", 3, "download incomplete"},
        {"points in a layout the control cannot read: nothing stored or drawn",
         strict(generatedLog({"L001", "A300", "D399"}, 50, 1), {}), 0, 0,
         "Track download stopped: the receiver sends track points in format D399, which cannot be read.", "format D399",
         5, "in format D399, which cannot be read"},
    };
    // The tool's runs go on beside the window's, each on a receiver of its own.
    std::vector<std::unique_ptr<SimProcess>> toolSims;
    std::vector<std::unique_ptr<QProcess>> tools;
    for (const Row& r : rows) {
        toolSims.push_back(std::make_unique<SimProcess>(r.scenario));
        ASSERT_TRUE(toolSims.back()->isRunning());
        tools.push_back(std::make_unique<QProcess>());
        tools.back()->start(testing_support::binDir() + "/navlet-tool", {"--device", toolSims.back()->devicePath(), "tracks",
                                                                       "--gpx", toolSims.back()->folder() + "/log.gpx"});
    }
    newMap();
    for (std::size_t row = 0; row < std::size(rows); ++row) {
        const Row& r = rows[row];
        SCOPED_TRACE(r.legend);
        dialogs.reset();
        startSim(r.scenario);
        QStringList shown;
        QObject context;
        QObject::connect(&downloadWindow().download(), &TrackDownload::progress, &context,
                         [&](const QString& text) { shown << text; });
        QStringList trace; // the link's first lines: which receiver answered, and how
        QObject::connect(&downloadWindow().download().navlet(), &navlet::Navlet::HexDebug, &context,
                         [&](const QString& t) {
                             if (trace.size() < 150)
                                 trace << t;
                         });
        const std::size_t drawnBefore = polylines().size();
        ASSERT_TRUE(download(LongTransferMs));
        EXPECT_TRUE(shown.join("|").contains(r.status)) << shown.join("|").toStdString();
        if (*r.message == 0) {
            EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();
        } else {
            ASSERT_EQ(dialogs.shown.size(), 1u) << dialogs.texts().join("|").toStdString();
            EXPECT_TRUE(dialogs.shown[0].text.contains(r.message)) << dialogs.shown[0].text.toStdString();
            EXPECT_EQ(dialogs.shown[0].icon, Icon::Exclamation);
        }
        const std::vector<TrackPointLine> lines = pointLines();
        if (r.points >= 0) {
            ASSERT_EQ(lines.size(), static_cast<std::size_t>(r.points)) << trace.join("\n").toStdString();
        } else {
            EXPECT_GT(lines.size(), 250u);
            EXPECT_LT(lines.size(), 300u);
            EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("The %1 points received are kept").arg(lines.size())))
                << "the message counts what the file keeps";
        }
        for (std::size_t i = 1; i < lines.size(); ++i)
            ASSERT_GE(lines[i].lat, lines[i - 1].lat) << "each point once, in order: " << i;
        const auto segmentStarts = std::count_if(lines.begin(), lines.end(), [](const TrackPointLine& l) { return l.newSegment; });
        EXPECT_EQ(segmentStarts, std::max(0, r.segments - 1)) << "the first segment is not marked";
        EXPECT_EQ(polylines().size() - drawnBefore, static_cast<std::size_t>(r.segments));
    }
    for (std::size_t row = 0; row < std::size(rows); ++row) {
        const Row& r = rows[row];
        SCOPED_TRACE(r.legend);
        QProcess& tool = *tools[row];
        ASSERT_TRUE(QTest::qWaitFor([&] { return tool.state() == QProcess::NotRunning; }, LongTransferMs));
        const QByteArray err = tool.readAllStandardError();
        EXPECT_EQ(tool.exitCode(), r.exitCode) << err.toStdString();
        EXPECT_TRUE(err.contains(r.says)) << err.right(300).toStdString();
        if (r.points > 0) {
            const QByteArray written = testing_support::readFile(toolSims[row]->folder() + "/log.gpx");
            EXPECT_EQ(written.count("<trkpt "), r.points);
            EXPECT_EQ(written.count("<trkseg>"), r.segments);
        }
    }

    // Uploads: 500 names folding onto each other, to a receiver keeping six capitals; and a
    // receiver whose waypoint format cannot be written, refused before any packet.
    QList<QByteArray> aps;
    QByteArray csv;
    for (int i = 0; i < 500; ++i) {
        const QByteArray lat = "N 45." + QByteArray::number(1000000 + i * 37);
        aps << line(lat.constData(), "E 7.6543210", foldingSsid(i).constData(),
                    QString::asprintf("00:00:00:00:%02X:%02X", i >> 8, i & 0xFF).toLatin1().constData(), 80, "0011");
        csv += "\"" + foldingSsid(i) + "\",\"\",-60," + QByteArray::number(45.1 + i * 0.001, 'f', 5) + ",7.6,\"0011\"\r\n";
    }
    struct Upload {
        const char* legend;
        QStringList protocols;
        const char* status;
        int held;          // distinct waypoints on the receiver; -1: no packet at all
        int exitCode;
        const char* says;  // on the tool's output or error
    };
    const Upload uploads[] = {
        {"500 names in Windows-1252 to six capitals", {"P000", "L001", "A100", "D103"},
         "Finished uploading. Sent 500 waypoints.", 500, 0, "Acknowledged 500 of 500 waypoints."},
        {"a D110 receiver", {"P000", "L001", "A100", "D110"}, "format D110, which cannot be written", -1, 5,
         "format D110, which cannot be written"},
    };
    ctx().settings.setValue("NavletChars", "8");
    newMap();
    importSummary(file("many.txt", summary(aps)));
    for (const Upload& u : uploads) {
        SCOPED_TRACE(u.legend);
        SimProcess toolSim(strict(generatedLog(u.protocols, 0, 1), realistic));
        ASSERT_TRUE(toolSim.isRunning());
        QProcess tool;
        tool.start(testing_support::binDir() + "/navlet-tool",
                   {"--device", toolSim.devicePath(), "upload", testing_support::writeFile(toolSim.folder() + "/aps.csv", csv),
                    "--chars", "8"});

        dialogs.reset();
        startSim(strict(generatedLog(u.protocols, 0, 1), realistic));
        ASSERT_TRUE(connectUpload("L001"));
        const QString format = u.protocols.last();
        ASSERT_TRUE(QTest::qWaitFor([&] { return uploadWindow().upload().navlet().Waypoint_Data_Format() == format; }, WaitMs));
        ASSERT_EQ(uploadWindow().rows().count(), 500);
        for (int i = 0; i < 500; ++i)
            uploadWindow().rows().setTicked(i, true);
        uploadWindow().cmdDone->click();
        EXPECT_TRUE(uploadWindow().lblLS->text().contains(u.status)) << uploadWindow().lblLS->text().toStdString();
        uploadWindow().cmdCancel->click();

        ASSERT_TRUE(QTest::qWaitFor([&] { return tool.state() == QProcess::NotRunning; }, LongTransferMs));
        const QByteArray said = tool.readAllStandardOutput() + tool.readAllStandardError();
        EXPECT_EQ(tool.exitCode(), u.exitCode) << said.toStdString();
        EXPECT_TRUE(said.contains(u.says)) << said.right(300).toStdString();
        for (SimProcess* receiver : {sim.get(), &toolSim}) {
            if (u.held < 0) {
                EXPECT_TRUE(receiver->waitForEvents(1, std::chrono::seconds(2)).empty()) << "not one packet of a transfer";
                continue;
            }
            const auto events = receiver->waitForEvents(static_cast<std::size_t>(u.held) + 1, std::chrono::seconds(30));
            ASSERT_FALSE(events.empty());
            EXPECT_EQ(events.back().value("event").toString(), "uploadComplete");
            EXPECT_EQ(events.back().value("held").toInt(), u.held) << "distinct names on the receiver";
        }
    }
}

} // namespace
} // namespace aero::testing
