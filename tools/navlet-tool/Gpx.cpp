#include "Gpx.h"

#include <QXmlStreamWriter>

#include <cmath>

namespace {

// Receivers send 1.0e25 for "no altitude".
bool knownAltitude(float alt) { return std::isfinite(alt) && std::fabs(alt) < 1.0e24f; }

void writePoint(QXmlStreamWriter& xml, const navlet::cTrack& t, bool withAltitude)
{
    xml.writeStartElement(QStringLiteral("trkpt"));
    xml.writeAttribute(QStringLiteral("lat"), QString::number(t.Lat, 'f', 9));
    xml.writeAttribute(QStringLiteral("lon"), QString::number(t.Lon, 'f', 9));
    if (withAltitude && knownAltitude(t.Alt))
        xml.writeTextElement(QStringLiteral("ele"), QString::number(t.Alt, 'g', 7));
    const QString time = gpxTime(t.Time);
    if (!time.isEmpty())
        xml.writeTextElement(QStringLiteral("time"), time);
    xml.writeEndElement();
}

} // namespace

QString gpxTime(const QString& trackTime)
{
    if (trackTime.size() != 19)
        return {};
    QString iso = trackTime;
    iso[4] = '-';
    iso[7] = '-';
    iso[10] = 'T';
    return iso + 'Z';
}

bool writeGpx(QIODevice& out, const std::vector<navlet::cTrack>& points, bool withAltitude)
{
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("gpx"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.topografix.com/GPX/1/1"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml.writeAttribute(QStringLiteral("creator"), QStringLiteral("navlet-tool"));
    xml.writeStartElement(QStringLiteral("trk"));
    xml.writeTextElement(QStringLiteral("name"), QStringLiteral("Track log"));
    bool open = false;
    for (const navlet::cTrack& t : points) {
        if (t.New_Segment || !open) {
            if (open)
                xml.writeEndElement();
            xml.writeStartElement(QStringLiteral("trkseg"));
            open = true;
        }
        writePoint(xml, t, withAltitude);
    }
    if (open)
        xml.writeEndElement();
    xml.writeEndElement(); // trk
    xml.writeEndElement(); // gpx
    xml.writeEndDocument();
    return !xml.hasError();
}
