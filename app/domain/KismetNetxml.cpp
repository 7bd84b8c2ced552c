#include "domain/KismetNetxml.h"

#include "domain/ObservationFacts.h"
#include "domain/XmlRoot.h"

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

// Hands a netxml to the XML reader with control bytes XML forbids replaced by "?": Kismet writes
// an SSID's bytes as they came, and one such byte would otherwise end the whole import.
class ControlBytesFiltered : public QIODevice {
public:
    explicit ControlBytesFiltered(QIODevice& source) : m_source(source) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    bool atEnd() const override { return m_source.atEnd() && QIODevice::bytesAvailable() == 0; }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        const qint64 n = m_source.read(data, max);
        for (qint64 i = 0; i < n; ++i) {
            const auto c = static_cast<unsigned char>(data[i]);
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
                data[i] = '?';
        }
        return n;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& m_source;
};

struct Network {
    QString type, bssid, ssid, encryption;
    bool cloaked = false, encrypted = false;
    float signal = 0;
    int channel = 0, frequency = 0;
    qint64 firstSeen = 0, lastSeen = 0;
    double peakLat = 0, peakLon = 0, avgLat = 0, avgLon = 0;
};

void readSsidBlock(QXmlStreamReader& xml, Network& n)
{
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("encryption")) {
            const QString e = boundedText(xml).trimmed();
            if (!e.isEmpty() && e.compare(QLatin1String("None"), Qt::CaseInsensitive) != 0)
                n.encrypted = true;
            if (!e.isEmpty() && n.encryption.size() < MaxCapabilities)
                n.encryption += (n.encryption.isEmpty() ? QString() : QStringLiteral(" ")) + e;
        } else if (xml.name() == QLatin1String("essid")) {
            if (xml.attributes().value(QLatin1String("cloaked")) == QLatin1String("true"))
                n.cloaked = true;
            // Kismet writes bytes outside printable ASCII as \\ooo; a name a probe response
            // revealed stands even where the beacon was cloaked.
            const QString name = kismetText(boundedText(xml).toUtf8());
            if (n.ssid.trimmed().isEmpty())
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
            n.signal = plausibleSignal(toNumber(boundedText(xml)));
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
    n.firstSeen = timeFromKismet(xml.attributes().value(QLatin1String("first-time")).toLatin1());
    n.lastSeen = timeFromKismet(xml.attributes().value(QLatin1String("last-time")).toLatin1());
    while (xml.readNextStartElement()) {
        const QStringView name = xml.name();
        if (name == QLatin1String("SSID"))
            readSsidBlock(xml, n);
        else if (name == QLatin1String("BSSID"))
            n.bssid = boundedText(xml).trimmed();
        else if (name == QLatin1String("channel"))
            n.channel = plausibleChannel(toNumber(boundedText(xml)));
        else if (name == QLatin1String("freqmhz"))   // "2437 40": frequency, then packets on it
            n.frequency = plausibleFrequency(toNumber(boundedText(xml).section(QLatin1Char(' '), 0, 0)));
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
    ElementsUnderRoot elements(xml, QLatin1String("gps-run"));
    while (elements.next()) {
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
        const float signal = plausibleSignal(toNumber(sig));
        const double seconds = toNumber(a.value(QLatin1String("time-sec")));
        out.located[bssid].add({lat, lon, signal, seconds > 0 && seconds < 4e9 ? static_cast<qint64>(seconds) * 1000 : 0});
        auto it = out.strongest.find(bssid);
        if (it == out.strongest.end())
            out.strongest.insert(bssid, {lat, lon, signal});
        else if (signal > it->signal)
            *it = {lat, lon, signal};
    }
    if (!elements.rootSeen() && !xml.hasError())
        out.status = SurveyStatus::NotRecognised;
    else if (xml.hasError()) {
        out.status = elements.rootSeen() ? statusOf(xml) : SurveyStatus::NotRecognised;
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
    ControlBytesFiltered filtered(device);
    QXmlStreamReader xml(&filtered);
    SightingMerger merger;
    ElementsUnderRoot elements(xml, QLatin1String("detection-run"));
    while (elements.next()) {
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
        ap.SSID = storedSsid(n.ssid);   // a name a probe response revealed stands, even where cloaked
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
        Observation o;
        o.firstSeen = n.firstSeen;
        o.lastSeen = std::max(n.firstSeen, n.lastSeen);
        o.channel = n.channel != 0 ? n.channel : channelOf(n.frequency);
        o.frequencyMHz = n.frequency;
        o.band = bandOf(o.channel, o.frequencyMHz);
        o.capabilities = boundedCapabilities(n.encryption);
        o.security = securityClassOf(n.encryption);
        o.hidden = n.ssid.trimmed().isEmpty();
        o.originalSsid = o.hidden ? QString() : boundedSsid(n.ssid);
        o.sourceLine = line;
        merger.sighting(ap, o);
    }
    if (!elements.rootSeen() && !xml.hasError())
        out.status = SurveyStatus::NotRecognised;
    else if (xml.hasError()) {
        out.status = elements.rootSeen() ? statusOf(xml) : SurveyStatus::NotRecognised;
        out.detail = where(xml);
    }
    out.stoppedAt = xml.lineNumber();
    merger.takeInto(out);
    for (std::size_t i = 0; i < out.records.size() && i < out.observed.size(); ++i)   // the per-packet points say more than the summary
        if (auto it = located.find(out.records[i].MAC); it != located.end())
            out.observed[i].located = it->take();
    return out;
}

} // namespace aero::import
