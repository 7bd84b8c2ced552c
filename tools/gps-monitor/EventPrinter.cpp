#include "EventPrinter.h"

#include "GPS.h"
#include "JsonLine.h"

#include <cstdio>

namespace {

// Flushed per line: the reader is usually a pipe and wants each event as it happens.
void print(const JsonLine& line)
{
    const QByteArray text = line.finish();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    std::fflush(stdout);
}

} // namespace

EventPrinter::EventPrinter(GPS& gps, bool withDebug, QObject* parent) : QObject(parent)
{
    connect(&gps, &GPS::Posicion, this,
            [](bool valid, const QString& hora, double lat, double lon, float speed, float course) {
                print(JsonLine("Posicion")
                          .add("Validez", valid)
                          .add("Hora", hora)
                          .add("Latitud", lat)
                          .add("Longitud", lon)
                          .add("Velocidad", static_cast<double>(speed))
                          .add("Rumbo", static_cast<double>(course)));
            });
    connect(&gps, &GPS::FechaHora, this, [](const QString& hora, const QString& fecha, float zona) {
        print(JsonLine("FechaHora").add("HoraUTC", hora).add("FechaUTC", fecha).add("Zona", static_cast<double>(zona)));
    });
    connect(&gps, &GPS::SatDOP, this, [](const QString& modo, const QStringList& canales, float p, float h, float v) {
        print(JsonLine("SatDOP")
                  .add("Modo", modo)
                  .add("Canales", canales)
                  .add("PDOP", static_cast<double>(p))
                  .add("HDOP", static_cast<double>(h))
                  .add("VDOP", static_cast<double>(v)));
    });
    connect(&gps, &GPS::SatelliteStatus, this,
            [&gps](float inView, const QList<float>& ids, const QList<float>& els, const QList<float>& azs,
               const QList<float>& sigs) {
                print(JsonLine("SatelliteStatus")
                          .add("InView", static_cast<double>(inView))
                          .add("Ids", ids)
                          .add("Els", els)
                          .add("Azs", azs)
                          .add("Sigs", sigs)
                          .add("Talker", gps.SatelliteTalker()));
            });
    if (withDebug)
        connect(&gps, &GPS::DebugPrint, this, [](const QString& text) { print(JsonLine("DebugPrint").add("Cadena", text)); });
}
