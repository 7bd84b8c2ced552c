#include "domain/SurveyExport.h"

#include "domain/ObservationFacts.h"

#include <QIODevice>
#include <QXmlStreamWriter>
#include <cmath>

namespace aero::import {
namespace {

constexpr qsizetype Chunk = 1 << 20;

// Calls f(ap, observation) for every AP with coordinates.
template <class F> void forEachPlaced(const ApSource& aps, const ObservationSource& seen, F&& f)
{
    static const Observation none;
    for (int i = 0;; ++i) {
        const AccessPoint* ap = aps(i);
        if (!ap || ap->SSID.isEmpty())
            return;
        if (!ap->hasCoordinates())
            continue;
        const Observation* o = seen ? seen(i) : nullptr;
        f(*ap, o ? *o : none);
    }
}

// "2024-05-03 12:35:19" as WiGLE writes times (UTC); empty when unknown.
QByteArray wigleTime(qint64 msUtc)
{
    return msUtc == 0 ? QByteArray() : isoTime(msUtc).replace(QLatin1Char('T'), QLatin1Char(' ')).remove(QLatin1Char('Z')).toLatin1();
}

QByteArray numberOrEmpty(int v)
{
    return v == 0 ? QByteArray() : QByteArray::number(v);
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

QByteArray wigleAuthMode(const AccessPoint& ap, const Observation& seen)
{
    const QByteArray raw = seen.capabilities.trimmed().toUtf8();
    if (raw.startsWith('[') && raw.endsWith(']') && !raw.contains(',') && !raw.contains('"'))
        return raw;
    QByteArray mode;
    switch (seen.security) {
    case SecurityClass::Open: break;
    case SecurityClass::WEP: mode = "[WEP]"; break;
    case SecurityClass::WPA: mode = "[WPA-PSK-TKIP]"; break;
    case SecurityClass::WPA2: mode = "[WPA2-PSK-CCMP]"; break;
    case SecurityClass::WPA3: mode = "[WPA3-SAE-CCMP]"; break;
    case SecurityClass::OWE: mode = "[OWE]"; break;
    case SecurityClass::Enterprise: mode = "[WPA2-EAP-CCMP]"; break;
    case SecurityClass::Unknown:
        if (ap.WEP != QLatin1String("0"))
            mode = "[UNKNOWN]";
        break;
    }
    mode += ap.Mode == QLatin1String("0") ? "[IBSS]" : "[ESS]";
    return mode;
}

QStringList observationLines(const Observation& o)
{
    QStringList lines;
    const auto add = [&lines](const char* key, const QString& value) {
        if (!value.isEmpty())
            lines << QStringLiteral("%1 = %2").arg(QLatin1String(key), value);
    };
    if (o.isEmpty())
        return lines;
    add("Security", o.security == SecurityClass::Unknown ? QString() : securityName(o.security));
    add("Channel", o.channel == 0 ? QString() : QString::number(o.channel));
    add("Frequency", o.frequencyMHz == 0 ? QString() : QStringLiteral("%1 MHz").arg(o.frequencyMHz));
    add("Band", bandName(o.band));
    add("First seen", isoTime(o.firstSeen));
    add("Last seen", isoTime(o.lastSeen));
    add("Vendor", o.vendor);
    add("Hidden", o.hidden ? QStringLiteral("yes") : QString());
    add("Sightings", o.sightings > 0 ? QString::number(o.sightings) : QString());
    add("Source", o.sourceFormat);
    return lines;
}

bool writeGpx(const ApSource& aps, QIODevice& out, const ObservationSource& seen)
{
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("gpx"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.topografix.com/GPX/1/1"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml.writeAttribute(QStringLiteral("creator"), QStringLiteral("Aeroplotter"));
    forEachPlaced(aps, seen, [&](const AccessPoint& ap, const Observation& o) {
        xml.writeStartElement(QStringLiteral("wpt"));
        xml.writeAttribute(QStringLiteral("lat"), number(ap.Latitude, 15));
        xml.writeAttribute(QStringLiteral("lon"), number(ap.Longitude, 15));
        xml.writeTextElement(QStringLiteral("name"), ap.SSID);
        const QStringList desc = QStringList{QStringLiteral("MAC = %1, Signal = %2 dBm, WEP = %3, %4 mode")
                                                 .arg(ap.MAC, number(ap.Signal, 7), encryptionText(ap), modeText(ap))}
                                 + observationLines(o);
        QString text = desc.join(QStringLiteral(", "));
        if (!o.positionMethod.isEmpty())
            text += QStringLiteral(", position = %1").arg(o.positionMethod)
                    + (o.uncertaintyM >= 0 ? QStringLiteral(" within %1 m").arg(qRound(o.uncertaintyM)) : QString());
        xml.writeTextElement(QStringLiteral("desc"), text);
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

// A JSON string literal.
void appendJsonText(QByteArray& out, const QString& text)
{
    out += '"';
    for (const char c : text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            out += "\\u00";
            out += "0123456789abcdef"[u >> 4];
            out += "0123456789abcdef"[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendJsonNumber(QByteArray& out, double v, int digits)
{
    out += std::isfinite(v) ? QByteArray::number(v, 'g', digits) : QByteArray("null");
}

void writeGeoJson(const ApSource& aps, QIODevice& out, const ObservationSource& seen)
{
    // Written as text feature by feature: no JSON object per AP, no document of the whole table.
    QByteArray buffer = "{\"type\":\"FeatureCollection\",\"features\":[\n";
    bool first = true;
    forEachPlaced(aps, seen, [&](const AccessPoint& ap, const Observation& o) {
        buffer += first ? "" : ",\n";
        first = false;
        buffer += "{\"type\":\"Feature\",\"geometry\":{\"type\":\"Point\",\"coordinates\":[";
        appendJsonNumber(buffer, ap.Longitude, 15);
        buffer += ',';
        appendJsonNumber(buffer, ap.Latitude, 15);
        buffer += "]},\"properties\":{";
        const auto text = [&](const char* key, const QString& value) {
            buffer += '"';
            buffer += key;
            buffer += "\":";
            appendJsonText(buffer, value);
            buffer += ',';
        };
        const auto num = [&](const char* key, double value, int digits) {
            buffer += '"';
            buffer += key;
            buffer += "\":";
            appendJsonNumber(buffer, value, digits);
            buffer += ',';
        };
        text("SSID", ap.SSID);
        text("MAC", ap.MAC);
        num("Signal", static_cast<double>(ap.Signal), 7);
        text("Flags", ap.Flags);
        text("WEP", ap.WEP);
        text("Mode", ap.Mode);
        num("Latitude", ap.Latitude, 15);
        num("Longitude", ap.Longitude, 15);
        if (!o.isEmpty()) {
            text("security", securityName(o.security));
            text("capabilities", o.capabilities);
            num("channel", o.channel, 10);
            num("frequencyMHz", o.frequencyMHz, 10);
            text("band", bandName(o.band));
            text("firstSeen", isoTime(o.firstSeen));
            text("lastSeen", isoTime(o.lastSeen));
            text("originalSsid", o.originalSsid);
            buffer += o.hidden ? "\"hidden\":true," : "\"hidden\":false,";
            text("vendor", o.vendor);
            num("sightings", static_cast<double>(o.sightings), 18);
            text("sourceFile", o.sourceFile);
            text("sourceFormat", o.sourceFormat);
            num("sourceLine", static_cast<double>(o.sourceLine), 18);
        }
        if (!o.positionMethod.isEmpty()) {
            text("position_method", o.positionMethod);
            if (o.uncertaintyM >= 0)
                num("uncertainty_m", std::round(o.uncertaintyM * 10.0) / 10.0, 15);
        }
        buffer.chop(1);   // the last comma
        buffer += "}}";
        if (buffer.size() > Chunk) {
            out.write(buffer);
            buffer.clear();
        }
    });
    buffer += "\n]}\n";
    out.write(buffer);
}

void writeWigleCsv(const ApSource& aps, QIODevice& out, const ObservationSource& seen)
{
    QByteArray buffer = "WigleWifi-1.6,appRelease=Aeroplotter,model=Aeroplotter,release=1.5,device=Aeroplotter,"
                        "display=,board=,brand=Aeroplotter,star=Sol,body=3,subBody=0\n"
                        "MAC,SSID,AuthMode,FirstSeen,Channel,Frequency,RSSI,CurrentLatitude,CurrentLongitude,"
                        "AltitudeMeters,AccuracyMeters,RCOIs,MfgrId,Type\n";
    forEachPlaced(aps, seen, [&](const AccessPoint& ap, const Observation& o) {
        appendCsvText(buffer, ap.MAC);
        buffer += ',';
        // The name as the log wrote it, before the table numbered repeats; empty for a hidden one.
        appendCsvText(buffer, o.isEmpty() ? ap.SSID : o.originalSsid);
        buffer += ',';
        buffer += wigleAuthMode(ap, o);
        buffer += ',';
        buffer += wigleTime(o.firstSeen);
        buffer += ',';
        buffer += numberOrEmpty(o.channel != 0 ? o.channel : channelOf(o.frequencyMHz));
        buffer += ',';
        buffer += numberOrEmpty(o.frequencyMHz != 0 ? o.frequencyMHz : frequencyOf(o.channel, o.band));
        buffer += ',';
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
