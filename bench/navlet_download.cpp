// Downloads a 2000-point track log from navlet-sim (its strict line) over a pseudo-terminal,
// through the transfer engine the program and navlet-tool use, and compares the rate with what
// a real 9600 baud line allows. The simulator paces both directions as a 9600 baud line, so
// the ratio shows what the software on both ends adds to the line's own time.
//
// The ideal: every byte of the download (each point frame, its ACK, the record count and the
// end packet, stuffing included) at 960 bytes/s (9600 8N1), one after the other, because the
// receiver waits for each ACK before sending the next point.
#include "navlet/Navlet.h"
#include "navlet/RecordTransfer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr double LineBytesPerSecond = 960.0; // 9600 baud, 10 bits a byte

QString simulatorPath()
{
    const QString dir = qEnvironmentVariable("AEROPLOTTER_BIN", QCoreApplication::applicationDirPath());
    return dir + QStringLiteral("/navlet-sim");
}

// Bytes a trace line stands for on the wire: outgoing lines are wire bytes already, incoming
// lines are unstuffed packets, whose DLEs from the size byte to the checksum were doubled.
qint64 wireBytes(const QString& line)
{
    const bool outgoing = line.startsWith(QStringLiteral("PC -"));
    const QStringList bytes = line.mid(10).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (outgoing)
        return bytes.size();
    qint64 doubled = 0;
    for (qsizetype i = 2; i + 2 < bytes.size(); ++i)
        doubled += bytes[i] == QLatin1String("10");
    return bytes.size() + doubled;
}

struct Simulator {
    QTemporaryDir dir;
    QProcess process;
    QString device;

    explicit Simulator(int points)
    {
        // The strict line without faults: a receiver-like peer with its own framing.
        const QJsonObject scenario{
            {"protocols", QJsonArray{"P000", "L001", "A100", "D108", "A300", "D301"}},
            {"tracks", QJsonObject{{"generate", QJsonObject{{"points", points}, {"segments", 4}}}}},
            {"strict", QJsonObject{{"seed", 1}, {"baud", 9600}}}};
        QFile f(dir.filePath("scenario.json"));
        f.open(QIODevice::WriteOnly);
        f.write(QJsonDocument(scenario).toJson());
        f.close();
        process.start(simulatorPath(), {f.fileName()});
        process.waitForReadyRead(10000);
        device = QString::fromLocal8Bit(process.readLine()).trimmed();
    }
    ~Simulator()
    {
        process.terminate();
        process.waitForFinished(5000);
    }
};

// One download: returns the points received, and adds the bytes the line carried.
int download(navlet::Navlet& n, qint64& lineBytes)
{
    int points = 0;
    QEventLoop loop;
    QObject context;
    navlet::RecordDownload transfer(n);
    QObject::connect(&transfer, &navlet::RecordDownload::record, &context, [&](quint8 id) {
        points += id == n.PID_Trk_Data() ? 1 : 0;
    });
    QObject::connect(&transfer, &navlet::RecordDownload::finished, &loop, &QEventLoop::quit);
    QObject::connect(&n, &navlet::Navlet::HexDebug, &context, [&](const QString& line) {
        if (line.startsWith(QStringLiteral("PC ")))
            lineBytes += wireBytes(line);
    });
    QTimer::singleShot(1200000, &loop, &QEventLoop::quit);
    transfer.start([&] { n.Request_Tracks(); }, {n.PID_Trk_Data(), n.PID_Trk_Hdr()}, 5000);
    loop.exec();
    return points;
}

void BM_TrackDownload(benchmark::State& state)
{
    const int points = static_cast<int>(state.range(0));
    Simulator sim(points);
    if (sim.device.isEmpty()) {
        state.SkipWithError("navlet-sim did not start");
        return;
    }
    navlet::Navlet n;
    n.setDevicePath(sim.device);
    n.Request_Product_Data();
    n.WaitFor(1); // product data and protocol array
    qint64 received = 0;
    qint64 lineBytes = 0;
    QElapsedTimer clock;
    clock.start();
    for (auto _ : state)
        received += download(n, lineBytes);
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    n.PortClose();
    const double downloads = static_cast<double>(state.iterations());
    if (received != static_cast<qint64>(points * downloads))
        state.SkipWithError("points missing");
    const double bytesPerPoint = lineBytes / downloads / points;
    const double idealPointsPerSecond = LineBytesPerSecond / bytesPerPoint;
    state.counters["points_per_s"] = benchmark::Counter(static_cast<double>(received), benchmark::Counter::kIsRate);
    state.counters["line_bytes_per_point"] = bytesPerPoint;
    state.counters["ideal_points_per_s_9600"] = idealPointsPerSecond;
    state.counters["ideal_s_9600"] = points / idealPointsPerSecond;
    state.counters["ratio_to_ideal"] = (static_cast<double>(received) / seconds) / idealPointsPerSecond;
}

} // namespace

BENCHMARK(BM_TrackDownload)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
