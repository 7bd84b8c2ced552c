#pragma once
// The receiver windows' test fixture: the whole program, a receiver simulator on a pseudo-
// terminal, and helpers that write survey files and read what the simulator received.
#include "ProgramFixture.h"
#include "SimProcess.h"

#include "PortMap.h"
#include "window/frmPlotter.h"
#include "navlet/NavletBytes.h"
#include "navlet/RecordJson.h"
#include "receiver/TrackDrawing.h"
#include "receiver/TrackPointFile.h"
#include "receiver/TransferTiming.h"
#include "receiver/frmNavlet.h"
#include "receiver/frmNavletUp.h"

#include <QJsonArray>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeView>
#include <QTest>

namespace aero {
inline void PrintTo(const TrackPointLine& p, std::ostream* os)
{
    *os << formatPointLine(p).trimmed().toStdString();
}
} // namespace aero

namespace aero::testing {
namespace {

using navlet_test::SimProcess;

constexpr int WaitMs = 20000;
// 10000 points over a line that loses packets, with receivers resending after up to 1 s.
constexpr int LongTransferMs = 1200000;
constexpr int SimPort = 2;
constexpr int TrackColor = 0x00FF80;
const QString Dot = QStringLiteral("\u00B7");

struct Line {
    QString link;
    int corruptEvery;
    int nakEvery;
};

inline void PrintTo(const Line& l, std::ostream* os)
{
    *os << l.link.toStdString() << " corrupt " << l.corruptEvery << " nak " << l.nakEvery;
}

inline std::string lineName(const ::testing::TestParamInfo<Line>& info)
{
    return info.param.link.toStdString() + (info.param.corruptEvery ? "_corrupt5_nak7" : "_clean");
}

inline double quantized(double degrees) { return navlet::semicirclesToDegrees(navlet::degreesToSemicircles(degrees)); }

class ReceiverTest : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        transfer::Timing::setScale(0.4);
        ctx().settings.setValue("NavletPort", QString::number(SimPort));
        ctx().settings.setValue("TrackColor", QString::number(TrackColor));
        downloadWindow().download().setPointFile(path("Navlet.tmp"));
    }
    void TearDown() override
    {
        downloadWindow().close();
        uploadWindow().close();
        ProgramFixture::TearDown();
        transfer::Timing::setScale(1.0);
    }

    frmNavlet& downloadWindow() { return program->navletDownload(); }
    frmNavletUp& uploadWindow() { return program->navletUpload(); }

    void startSim(const QJsonObject& scenario)
    {
        sim = std::make_unique<SimProcess>(scenario);
        ASSERT_TRUE(sim->isRunning());
        portmap::setDevicePath(SimPort, sim->devicePath());
    }

    // GPS entry 12, then waits until the window has closed itself.
    bool download(int limitMs = WaitMs)
    {
        window().tbMain_ButtonMenuClick(entries::NavletDownload);
        if (!downloadWindow().isVisible())
            return false;
        return QTest::qWaitFor([&] { return !downloadWindow().isVisible(); }, limitMs);
    }

    std::vector<TrackPointLine> pointLines()
    {
        std::vector<TrackPointLine> out;
        const QByteArray bytes = testing_support::readFile(path("Navlet.tmp"));
        for (const QByteArray& l : bytes.split('\n'))
            if (!l.isEmpty())
                out.push_back(parsePointLine(l).value_or(TrackPointLine{-1, 0, 0, false}));
        return out;
    }

    std::vector<Shape> polylines()
    {
        std::vector<Shape> out;
        for (const Shape& s : map().document().shapes)
            if (s.kind == ShapeKind::Polyline)
                out.push_back(s);
        return out;
    }

    // Three APs; in the (sorted) list: cafe, HomeNetwork, homenetwork2.
    void withAps()
    {
        newMap();
        importSummary(file("s.txt", summary({line("N 45.1234567", "E 7.6543210", "HomeNetwork", "00:00:00:00:00:01", 90, "0011"),
                                             line("S 33.8568000", "E 151.2153000", "homenetwork2", "00:00:00:00:00:02", 90, "0011"),
                                             line("N 52.3700000", "W 4.8952000", "cafe", "00:00:00:00:00:03", 90, "0011")})));
        dialogs.reset();
    }

    // GPS entry 13, then waits for the receiver's product data and protocol array.
    bool connectUpload(const QString& link)
    {
        window().tbMain_ButtonMenuClick(entries::NavletUpload);
        return QTest::qWaitFor([&] {
            return uploadWindow().lblLS->text() == Dot + " Link Status: GPS Connected"
                   && uploadWindow().upload().navlet().Link_Protocol() == link;
        }, WaitMs);
    }

    int uploadRow(const QString& ssid)
    {
        for (int i = 0; i < uploadWindow().rows().count(); ++i)
            if (uploadWindow().rows().rowAt(i).ssid == ssid)
                return i;
        return -1;
    }

    // What the receiver should report for an AP sent from the list.
    navlet::cWaypoint sentWaypoint(const QString& label, double lat, double lon)
    {
        navlet::cWaypoint w;
        w.Ident = label;
        w.Lat = lat;
        w.Lon = lon;
        w.Dspl = 1;
        w.Smbl = 16391;
        w.Attrib = 96;
        return navlet_test::throughFormat(w, uploadWindow().upload().navlet().Waypoint_Data_Format());
    }

    std::unique_ptr<SimProcess> sim;
};

} // namespace
} // namespace aero::testing
