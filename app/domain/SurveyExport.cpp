#include "domain/SurveyExport.h"

#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamWriter>
#include <cmath>

namespace aero::import {
namespace {

constexpr qsizetype Chunk = 1 << 20;

template <class F> void forEach(const ApSource& aps, F&& f)
{
    for (int i = 0;; ++i) {
        const AccessPoint* ap = aps(i);
        if (!ap || ap->SSID.isEmpty())
            return;
        f(*ap, i);
    }
}

// The observation of record i when it states how the AP was placed.
const Observation* placed(const PlacementSource& placements, int i)
{
    const Observation* o = placements ? placements(i) : nullptr;
    return o && !o->positionMethod.isEmpty() ? o : nullptr;
}

QString number(double v, int digits)
{
    return QString::number(v, 'g', digits);
}

QString encryptionText(const AccessPoint& ap)
{
    return ap.WEP == QLatin1String("1") ? QStringLiteral("On") : QStringLiteral("Off");
}

QString modeText(const AccessPoint& ap)
{
    return ap.Mode == QLatin1String("1") ? QStringLiteral("BSS") : QStringLiteral("Ad-Hoc");
}

void appendCsvText(QByteArray& out, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\n') && !utf8.contains('\r')) {
        out += utf8;
        return;
    }
    out += '"';
    for (const char c : utf8) {
        if (c == '"')
            out += '"';
        out += (c == '\n' || c == '\r') ? ' ' : c;
    }
    out += '"';
}

} // namespace

QByteArray wigleAuthMode(const AccessPoint& ap)
{
    QByteArray mode = ap.WEP == QLatin1String("1") ? "[WPA2-PSK-CCMP]" : "";
    mode += ap.Mode == QLatin1String("0") ? "[IBSS]" : "[ESS]";
    return mode;
}

bool writeGpx(const ApSource& aps, QIODevice& out, const PlacementSource& placements)
{
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("gpx"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.topografix.com/GPX/1/1"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml.writeAttribute(QStringLiteral("creator"), QStringLiteral("Aeroplotter"));
    forEach(aps, [&](const AccessPoint& ap, int i) {
        if (!ap.hasCoordinates())
            return;
        xml.writeStartElement(QStringLiteral("wpt"));
        xml.writeAttribute(QStringLiteral("lat"), number(ap.Latitude, 15));
        xml.writeAttribute(QStringLiteral("lon"), number(ap.Longitude, 15));
        xml.writeTextElement(QStringLiteral("name"), ap.SSID);
        QString desc = QStringLiteral("MAC = %1, Signal = %2 dBm, WEP = %3, %4 mode")
                           .arg(ap.MAC, number(ap.Signal, 7), encryptionText(ap), modeText(ap));
        if (const Observation* o = placed(placements, i))
            desc += QStringLiteral(", position = %1").arg(o->positionMethod)
                    + (o->uncertaintyM >= 0 ? QStringLiteral(" within %1 m").arg(qRound(o->uncertaintyM)) : QString());
        xml.writeTextElement(QStringLiteral("desc"), desc);
        // The symbol names the program's own AP symbols: O open, W encrypted.
        xml.writeTextElement(QStringLiteral("sym"), ap.encrypted() ? QStringLiteral("Wireless AP encrypted")
                                                                   : QStringLiteral("Wireless AP open"));
        xml.writeTextElement(QStringLiteral("type"), QStringLiteral("WIFI"));
        xml.writeEndElement();
    });
    xml.writeEndElement();
    xml.writeEndDocument();
    return !xml.hasError();
}

void writeGeoJson(const ApSource& aps, QIODevice& out, const PlacementSource& placements)
{
    // Written feature by feature, so a full table never builds one huge document in memory.
    out.write("{\"type\":\"FeatureCollection\",\"features\":[\n");
    QByteArray buffer;
    bool first = true;
    forEach(aps, [&](const AccessPoint& ap, int i) {
        if (!ap.hasCoordinates())
            return;
        QJsonObject properties{
            {QStringLiteral("SSID"), ap.SSID},
            {QStringLiteral("MAC"), ap.MAC},
            {QStringLiteral("Signal"), static_cast<double>(ap.Signal)},
            {QStringLiteral("Flags"), ap.Flags},
            {QStringLiteral("WEP"), ap.WEP},
            {QStringLiteral("Mode"), ap.Mode},
            {QStringLiteral("Latitude"), ap.Latitude},
            {QStringLiteral("Longitude"), ap.Longitude},
        };
        if (const Observation* o = placed(placements, i)) {
            properties.insert(QStringLiteral("position_method"), o->positionMethod);
            if (o->uncertaintyM >= 0)
                properties.insert(QStringLiteral("uncertainty_m"), std::round(o->uncertaintyM * 10.0) / 10.0);
        }
        const QJsonObject feature{
            {QStringLiteral("type"), QStringLiteral("Feature")},
            {QStringLiteral("geometry"),
             QJsonObject{{QStringLiteral("type"), QStringLiteral("Point")},
                         {QStringLiteral("coordinates"), QJsonArray{ap.Longitude, ap.Latitude}}}},
            {QStringLiteral("properties"), properties},
        };
        if (!first)
            buffer += ",\n";
        first = false;
        buffer += QJsonDocument(feature).toJson(QJsonDocument::Compact);
        if (buffer.size() > Chunk) {
            out.write(buffer);
            buffer.clear();
        }
    });
    buffer += "\n]}\n";
    out.write(buffer);
}

void writeWigleCsv(const ApSource& aps, QIODevice& out)
{
    QByteArray buffer = "WigleWifi-1.6,appRelease=Aeroplotter,model=Aeroplotter,release=1.5,device=Aeroplotter,"
                        "display=,board=,brand=Aeroplotter,star=Sol,body=3,subBody=0\n"
                        "MAC,SSID,AuthMode,FirstSeen,Channel,Frequency,RSSI,CurrentLatitude,CurrentLongitude,"
                        "AltitudeMeters,AccuracyMeters,RCOIs,MfgrId,Type\n";
    forEach(aps, [&](const AccessPoint& ap, int) {
        appendCsvText(buffer, ap.MAC);
        buffer += ',';
        appendCsvText(buffer, ap.SSID);
        buffer += ',';
        buffer += wigleAuthMode(ap);
        buffer += ",1970-01-01 00:00:00,0,0,";
        buffer += QByteArray::number(static_cast<double>(ap.Signal), 'g', 7);
        buffer += ',';
        buffer += QByteArray::number(ap.Latitude, 'g', 15);
        buffer += ',';
        buffer += QByteArray::number(ap.Longitude, 'g', 15);
        buffer += ",0,0,,,WIFI\n";
        if (buffer.size() > Chunk) {
            out.write(buffer);
            buffer.clear();
        }
    });
    out.write(buffer);
}

} // namespace aero::import
