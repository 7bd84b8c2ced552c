#include "GpsTestSupport.h"

#include <QCoreApplication>

#include <cstdio>

namespace gps {

void PrintTo(const Rmc& r, std::ostream* os)
{
    *os << "Rmc{Validez=" << r.Validez << " Hora=" << r.Hora << " Latitud=" << r.Latitud
        << " Longitud=" << r.Longitud << " Velocidad=" << r.Velocidad << " Rumbo=" << r.Rumbo << "}";
}

void PrintTo(const Zda& z, std::ostream* os)
{
    *os << "Zda{HoraUTC=" << z.HoraUTC << " FechaUTC=" << z.FechaUTC << " Zona=" << z.Zona << "}";
}

void PrintTo(const Gsa& g, std::ostream* os)
{
    *os << "Gsa{Modo=" << g.Modo << " Canales=[";
    for (const auto& c : g.Canales)
        *os << '"' << c << "\" ";
    *os << "] PDOP=" << g.PDOP << " HDOP=" << g.HDOP << " VDOP=" << g.VDOP << "}";
}

void PrintTo(const Gsv& g, std::ostream* os)
{
    *os << "Gsv{InView=" << g.InView;
    for (std::size_t i = 0; i < Gsv::SlotCount; ++i)
        *os << " [" << g.Ids[i] << "," << g.Els[i] << "," << g.Azs[i] << "," << g.Sigs[i] << "]";
    *os << "}";
}

} // namespace gps

namespace gps_test {

QString toolPath(const char* name)
{
    QString dir = qEnvironmentVariable("AEROPLOTTER_BIN");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath();
    return dir + QLatin1Char('/') + QLatin1String(name);
}

std::string withChecksum(std::string_view body)
{
    unsigned sum = 0;
    for (const char c : body)
        sum ^= static_cast<unsigned char>(c);
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", sum);
    return "$" + std::string(body) + "*" + hex;
}

void RecordingSink::debugText(std::string_view prefix, std::string_view text)
{
    log.push_back("debug " + std::string(prefix) + std::string(text));
}

void RecordingSink::onPosicion(const gps::Rmc& rmc)
{
    positions.push_back(rmc);
    log.push_back("Posicion " + rmc.Hora);
}

void RecordingSink::onFechaHora(const gps::Zda& zda)
{
    times.push_back(zda);
    log.push_back("FechaHora " + zda.HoraUTC);
}

void RecordingSink::onSatDOP(const gps::Gsa& gsa)
{
    dops.push_back(gsa);
    log.push_back("SatDOP " + gsa.Modo);
}

void RecordingSink::onSatelliteStatus(const gps::Gsv& gsv)
{
    satellites.push_back(gsv);
    log.push_back("SatelliteStatus " + std::to_string(static_cast<int>(gsv.InView)));
}

namespace {

// A single-precision value as the receiver wrote it: 84.4, not 84.4000015258789.
QString single(float value)
{
    return QString::number(static_cast<double>(value), 'g', 7);
}

} // namespace

EventRecorder::EventRecorder(GPS& gps)
{
    connect(&gps, &GPS::DebugPrint, this, [this](const QString& text) { events << "DebugPrint " + text; });
    connect(&gps, &GPS::Posicion, this,
            [this](bool valid, const QString& hora, double lat, double lon, float speed, float course) {
                events << QStringLiteral("Posicion %1 %2 %3 %4 %5 %6")
                              .arg(valid)
                              .arg(hora)
                              .arg(lat, 0, 'g', 10)
                              .arg(lon, 0, 'g', 10)
                              .arg(single(speed))
                              .arg(single(course));
            });
    connect(&gps, &GPS::FechaHora, this, [this](const QString& hora, const QString& fecha, float zona) {
        events << QStringLiteral("FechaHora %1 %2 %3").arg(hora, fecha, single(zona));
    });
    connect(&gps, &GPS::SatDOP, this,
            [this](const QString& modo, const QStringList& canales, float p, float h, float v) {
                events << QStringLiteral("SatDOP %1 [%2] %3 %4 %5").arg(modo, canales.join(','), single(p), single(h), single(v));
            });
    connect(&gps, &GPS::SatelliteStatus, this,
            [this](float inView, const QList<float>& ids, const QList<float>&, const QList<float>&, const QList<float>&) {
                QStringList idTexts;
                for (const float id : ids)
                    idTexts << single(id);
                events << QStringLiteral("SatelliteStatus %1 [%2]").arg(single(inView), idTexts.join(','));
            });
}

QStringList EventRecorder::debugTexts() const
{
    QStringList out;
    for (const QString& e : events)
        if (e.startsWith("DebugPrint "))
            out << e.mid(11);
    return out;
}

QStringList EventRecorder::dataEvents() const
{
    QStringList out;
    for (const QString& e : events)
        if (!e.startsWith("DebugPrint "))
            out << e;
    return out;
}

} // namespace gps_test
