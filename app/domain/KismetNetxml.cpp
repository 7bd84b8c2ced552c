#include "domain/KismetNetxml.h"

#include <QFileInfo>
#include <QIODevice>
#include <QXmlStreamReader>
#include <cmath>

namespace aero::import {
namespace {

constexpr int ProgressEvery = 256;
constexpr qsizetype MaxText = 1024;   // names and numbers are short; longer text is cut

double toNumber(QStringView text, bool* ok = nullptr)
{
    bool good = false;
    const double v = text.trimmed().toDouble(&good);
    if (ok)
        *ok = good && std::isfinite(v);
    return good && std::isfinite(v) ? v : 0.0;
}

bool validPosition(double lat, double lon)
{
    return (lat != 0.0 || lon != 0.0) && lat >= -90 && lat <= 90 && lon >= -180 && lon <= 180;
}

// The text of the current element, bounded.
QString boundedText(QXmlStreamReader& xml)
{
    QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
    if (text.size() > MaxText)
        text.truncate(MaxText);
    return text;
}

struct Network {
    QString type, bssid, ssid;
    bool cloaked = false, encrypted = false;
    float signal = 0;
    double peakLat = 0, peakLon = 0, avgLat = 0, avgLon = 0;
};

void readSsidBlock(QXmlStreamReader& xml, Network& n)
{
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("encryption")) {
            const QString e = boundedText(xml).trimmed();
            if (!e.isEmpty() && e.compare(QLatin1String("None"), Qt::CaseInsensitive) != 0)
                n.encrypted = true;
        } else if (xml.name() == QLatin1String("essid")) {
            if (xml.attributes().value(QLatin1String("cloaked")) == QLatin1String("true"))
                n.cloaked = true;
            const QString name = boundedText(xml);
            if (n.ssid.isEmpty())
                n.ssid = name;
        } else {
            xml.skipCurrentElement();
        }
    }
}

void readSnr(QXmlStreamReader& xml, Network& n)
{
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("max_signal_dbm"))
            n.signal = static_cast<float>(toNumber(boundedText(xml)));
        else
            xml.skipCurrentElement();
    }
}

void readGps(QXmlStreamReader& xml, Network& n)
{
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        double* target = name == QLatin1String("peak-lat")  ? &n.peakLat
                         : name == QLatin1String("peak-lon") ? &n.peakLon
                         : name == QLatin1String("avg-lat")  ? &n.avgLat
                         : name == QLatin1String("avg-lon")  ? &n.avgLon
                                                             : nullptr;
        if (target)
            *target = toNumber(boundedText(xml));
        else
            xml.skipCurrentElement();
    }
}

// Reads one <wireless-network> up to its end tag; false when the document ended inside it.
bool readNetwork(QXmlStreamReader& xml, Network& n)
{
    n.type = xml.attributes().value(QLatin1String("type")).toString();
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        if (name == QLatin1String("SSID"))
            readSsidBlock(xml, n);
        else if (name == QLatin1String("BSSID"))
            n.bssid = boundedText(xml).trimmed();
        else if (name == QLatin1String("snr-info"))
            readSnr(xml, n);
        else if (name == QLatin1String("gps-info"))
            readGps(xml, n);
        else
            xml.skipCurrentElement();   // wireless-client and the rest, with their own snr/gps blocks
    }
    return !xml.hasError() && xml.isEndElement();
}

SurveyStatus statusOf(const QXmlStreamReader& xml)
{
    if (!xml.hasError())
        return SurveyStatus::Ok;
    if (xml.error() == QXmlStreamReader::CustomError)
        return SurveyStatus::ReadError;
    return SurveyStatus::Damaged;
}

QString where(const QXmlStreamReader& xml)
{
    return QStringLiteral("%1 (line %2)").arg(xml.errorString()).arg(xml.lineNumber());
}

} // namespace

bool looksLikeKismetNetxml(QByteArrayView head)
{
    return head.indexOf("<detection-run") >= 0;
}

QString gpsxmlBeside(const QString& netxmlPath)
{
    const QFileInfo info(netxmlPath);
    const QString candidate = info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".gpsxml");
    return QFileInfo(candidate).isFile() ? candidate : QString();
}

GpsxmlContents readKismetGpsxml(QIODevice& device, const ReadProgress& progress)
{
    GpsxmlContents out;
    QXmlStreamReader xml(&device);
    bool root = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!root) {
            if (xml.name() != QLatin1String("gps-run")) {
                out.status = SurveyStatus::NotRecognised;
                return out;
            }
            root = true;
            continue;
        }
        if (xml.name() != QLatin1String("gps-point"))
            continue;
        const QXmlStreamAttributes a = xml.attributes();
        const QString bssid = a.value(QLatin1String("bssid")).trimmed().toString().toUpper();
        ++out.points;
        if (progress && out.points % (ProgressEvery * 16) == 0)
            progress();
        if (bssid.isEmpty() || bssid == QLatin1String("GP:SD:TR:AC:KL:OG"))   // the track itself
            continue;
        const double lat = toNumber(a.value(QLatin1String("lat")));
        const double lon = toNumber(a.value(QLatin1String("lon")));
        if (!validPosition(lat, lon))
            continue;
        const QStringView sig = a.hasAttribute(QLatin1String("signal_dbm")) ? a.value(QLatin1String("signal_dbm"))
                                                                             : a.value(QLatin1String("signal"));
        const float signal = static_cast<float>(toNumber(sig));
        const qint64 seconds = static_cast<qint64>(toNumber(a.value(QLatin1String("time-sec"))));
        out.located[bssid].add({lat, lon, signal, seconds * 1000});
        auto it = out.strongest.find(bssid);
        if (it == out.strongest.end())
            out.strongest.insert(bssid, {lat, lon, signal});
        else if (signal > it->signal)
            *it = {lat, lon, signal};
    }
    if (!root && !xml.hasError())
        out.status = SurveyStatus::NotRecognised;
    else if (xml.hasError()) {
        out.status = root ? statusOf(xml) : SurveyStatus::NotRecognised;
        out.detail = where(xml);
    }
    return out;
}

SurveyContents readKismetNetxml(QIODevice& device, QIODevice* gpsxml, const ReadProgress& progress)
{
    SurveyContents out;
    QHash<QString, GpsxmlPoint> strongest;
    QHash<QString, SightingSample> located;
    if (gpsxml) {
        GpsxmlContents g = readKismetGpsxml(*gpsxml, progress);
        strongest = std::move(g.strongest);   // a damaged gpsxml still gives what it held
        located = std::move(g.located);
    }
    QXmlStreamReader xml(&device);
    SightingMerger merger;
    bool root = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (!root) {
            if (xml.name() != QLatin1String("detection-run")) {
                out.status = SurveyStatus::NotRecognised;
                return out;
            }
            root = true;
            continue;
        }
        if (xml.name() != QLatin1String("wireless-network")) {
            xml.skipCurrentElement();
            continue;
        }
        Network n;
        const qint64 line = xml.lineNumber();
        if (!readNetwork(xml, n))
            break;   // cut inside the network: it is not used
        if (progress && (out.observations + out.otherKinds + out.skipped) % ProgressEvery == 0)
            progress();
        const bool adHoc = n.type == QLatin1String("ad-hoc");
        if (n.type != QLatin1String("infrastructure") && !adHoc) {
            ++out.otherKinds;
            continue;
        }
        const QByteArray bssid = n.bssid.toUtf8();
        if (macField(bssid).isEmpty()) {
            out.skip(line);
            continue;
        }
        ++out.observations;
        AccessPoint ap;
        ap.MAC = storedMac(macField(bssid));
        ap.SSID = n.cloaked ? QStringLiteral("BLANK SSID") : storedSsid(n.ssid);
        ap.Signal = n.signal;
        if (validPosition(n.peakLat, n.peakLon)) {
            ap.Latitude = n.peakLat;
            ap.Longitude = n.peakLon;
        } else if (validPosition(n.avgLat, n.avgLon)) {
            ap.Latitude = n.avgLat;
            ap.Longitude = n.avgLon;
        }
        if (const auto it = strongest.constFind(ap.MAC); it != strongest.cend()) {
            ap.Latitude = it->lat;
            ap.Longitude = it->lon;
        }
        setSecurity(ap, n.encrypted, adHoc);
        merger.sighting(ap);
    }
    if (!root && !xml.hasError())
        out.status = SurveyStatus::NotRecognised;
    else if (xml.hasError()) {
        out.status = root ? statusOf(xml) : SurveyStatus::NotRecognised;
        out.detail = where(xml);
    }
    out.stoppedAt = xml.lineNumber();
    out.located = merger.takeLocated();
    for (std::size_t i = 0; i < out.located.size(); ++i)   // the per-packet points say more than the summary
        if (auto it = located.find(merger.at(static_cast<int>(i)).MAC); it != located.end())
            out.located[i] = it->take();
    out.records = merger.take();
    return out;
}

} // namespace aero::import
