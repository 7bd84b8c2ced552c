#include "domain/WigleCsv.h"

#include "domain/LineReader.h"
#include "domain/ObservationFacts.h"

#include <QIODevice>
#include <charconv>
#include <cmath>

namespace aero::import {
namespace {

constexpr int ProgressEvery = 4096;

struct Columns {
    int mac = -1, ssid = -1, auth = -1, rssi = -1, lat = -1, lon = -1, type = -1;
    int firstSeen = -1, channel = -1, frequency = -1, rcois = -1, mfgrId = -1;
    int count = 0;
};

// Splits one CSV line into fields; quoted fields are unquoted into `scratch`, which is sized
// up front so the views into it stay valid.
class CsvFields {
public:
    void split(QByteArrayView line)
    {
        m_fields.clear();
        m_scratch.resize(line.size());
        char* out = m_scratch.data();
        qsizetype i = 0;
        const qsizetype n = line.size();
        for (;;) {
            if (i < n && line[i] == '"') {
                const char* start = out;
                ++i;
                while (i < n) {
                    if (line[i] == '"') {
                        if (i + 1 < n && line[i + 1] == '"') {
                            *out++ = '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    *out++ = line[i++];
                }
                while (i < n && line[i] != ',')   // text after the closing quote is kept
                    *out++ = line[i++];
                m_fields.emplace_back(start, out - start);
            } else {
                const qsizetype start = i;
                while (i < n && line[i] != ',')
                    ++i;
                m_fields.emplace_back(line.data() + start, i - start);
            }
            if (i >= n)
                break;
            ++i;   // the comma
        }
    }
    qsizetype size() const { return static_cast<qsizetype>(m_fields.size()); }
    QByteArrayView operator[](int i) const { return m_fields[static_cast<std::size_t>(i)]; }

private:
    std::vector<QByteArrayView> m_fields;
    QByteArray m_scratch;
};

bool equalsIgnoringCase(QByteArrayView a, const char* b)
{
    return a.compare(QByteArrayView(b), Qt::CaseInsensitive) == 0;
}

Columns findColumns(const CsvFields& heading)
{
    Columns c;
    c.count = static_cast<int>(heading.size());
    for (int i = 0; i < c.count; ++i) {
        const QByteArrayView name = heading[i].trimmed();
        struct {
            const char* name;
            int* column;
        } const known[] = {{"MAC", &c.mac}, {"SSID", &c.ssid}, {"AuthMode", &c.auth}, {"RSSI", &c.rssi},
                           {"CurrentLatitude", &c.lat}, {"CurrentLongitude", &c.lon}, {"Type", &c.type},
                           {"FirstSeen", &c.firstSeen}, {"Channel", &c.channel}, {"Frequency", &c.frequency},
                           {"RCOIs", &c.rcois}, {"MfgrId", &c.mfgrId}};
        for (const auto& k : known)
            if (*k.column < 0 && equalsIgnoringCase(name, k.name))
                *k.column = i;
    }
    return c;
}

QString missingColumn(const Columns& c)
{
    const std::pair<int, const char*> needed[] = {{c.mac, "MAC"}, {c.ssid, "SSID"}, {c.auth, "AuthMode"},
                                                  {c.rssi, "RSSI"}, {c.lat, "CurrentLatitude"},
                                                  {c.lon, "CurrentLongitude"}};
    for (const auto& [column, name] : needed)
        if (column < 0)
            return QString::fromLatin1(name);
    return {};
}

template <class T> bool number(QByteArrayView text, T& value)
{
    text = text.trimmed();
    if (text.startsWith('+'))
        text = text.sliced(1);
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && text.size() > 0 && std::isfinite(value);
}

bool containsToken(QByteArrayView upper, const char* token)
{
    return upper.indexOf(QByteArrayView(token)) >= 0;
}

class WigleReader {
public:
    WigleReader(LineReader& lines, const ReadProgress& progress) : m_lines(lines), m_progress(progress) {}

    SurveyContents read()
    {
        if (!readHeading()) {
            m_out.stoppedAt = m_lines.lineNumber();
            return std::move(m_out);
        }
        for (qint64 n = 1;; ++n) {
            const LineReader::Result r = m_lines.next();
            if (r == LineReader::Result::End)
                break;
            if (r == LineReader::Result::Overlong)
                m_out.skip(m_lines.lineNumber());
            else
                row(m_lines.line());
            if (m_progress && n % ProgressEvery == 0)
                m_progress();
        }
        if (m_lines.readError()) {
            m_out.status = SurveyStatus::ReadError;
            m_out.detail = QStringLiteral("the file could not be read past line %1").arg(m_lines.lineNumber());
        }
        m_out.stoppedAt = m_lines.lineNumber();
        m_merger.takeInto(m_out);
        return std::move(m_out);
    }

private:
    bool readHeading()
    {
        if (m_lines.next() != LineReader::Result::Line) {
            m_out.status = m_lines.readError() ? SurveyStatus::ReadError : SurveyStatus::NotRecognised;
            return false;
        }
        QByteArrayView line = m_lines.line();
        if (line.startsWith("\xEF\xBB\xBF"))
            line = line.sliced(3);
        if (line.startsWith("WigleWifi-")) {
            if (m_lines.next() != LineReader::Result::Line) {
                m_out.status = SurveyStatus::MissingColumn;
                m_out.detail = QStringLiteral("MAC");
                return false;
            }
            line = m_lines.line();
        } else if (!looksLikeWigleCsv(line)) {
            m_out.status = SurveyStatus::NotRecognised;
            return false;
        }
        m_fields.split(line);
        m_columns = findColumns(m_fields);
        m_out.detail = missingColumn(m_columns);
        if (!m_out.detail.isEmpty()) {
            m_out.status = SurveyStatus::MissingColumn;
            return false;
        }
        return true;
    }

    // Kismet's current wiglecsv writes Wi-Fi rows without the RCOIs and MfgrId fields its heading
    // names: the type is then the last field, and the fields before it keep their places.
    bool shortKismetRow() const
    {
        const Columns& c = m_columns;
        return m_fields.size() == c.count - 2 && c.type == c.count - 1 && c.rcois == c.count - 3
               && c.mfgrId == c.count - 2 && equalsIgnoringCase(m_fields[static_cast<int>(m_fields.size()) - 1].trimmed(), "WIFI");
    }

    QByteArrayView field(int column) const
    {
        if (column < 0)
            return {};
        if (column == m_columns.type && m_fields.size() != m_columns.count)
            return m_fields[static_cast<int>(m_fields.size()) - 1];
        return column < m_fields.size() ? m_fields[column] : QByteArrayView();
    }

    void row(QByteArrayView line)
    {
        if (line.trimmed().isEmpty())
            return;
        m_fields.split(line);
        const Columns& c = m_columns;
        if (m_fields.size() != c.count && !shortKismetRow()) {   // a cut row or an SSID with an unquoted comma
            m_out.skip(m_lines.lineNumber());
            return;
        }
        if (c.type >= 0) {
            const QByteArrayView type = field(c.type).trimmed();
            if (!type.isEmpty() && !equalsIgnoringCase(type, "WIFI")) {
                ++m_out.otherKinds;
                return;
            }
        }
        const QByteArrayView mac = macField(m_fields[c.mac]);
        double rssi = 0, lat = 0, lon = 0;
        if (mac.isEmpty() || !number(m_fields[c.rssi], rssi) || !number(m_fields[c.lat], lat)
            || !number(m_fields[c.lon], lon) || lat < -90 || lat > 90 || lon < -180 || lon > 180) {
            m_out.skip(m_lines.lineNumber());
            return;
        }
        ++m_out.observations;
        const qint64 seen = timeFromLog(field(c.firstSeen));
        const int index = m_merger.find(mac);
        if (index >= 0) {
            AccessPoint& r = m_merger.at(index);
            if (r.SSID == QLatin1String("BLANK SSID") && !m_fields[c.ssid].trimmed().isEmpty()) {
                const QString name = kismetText(m_fields[c.ssid]);
                r.SSID = storedSsid(name);
                m_merger.observed(index).originalSsid = boundedSsid(name);
                m_merger.observed(index).hidden = false;
            }
            m_merger.observe(index, plausibleSignal(rssi), lat, lon, seen);
            return;
        }
        const QString name = kismetText(m_fields[c.ssid]);
        const QByteArrayView auth = m_fields[c.auth];
        AccessPoint ap;
        ap.MAC = storedMac(mac);
        ap.SSID = storedSsid(name);
        ap.Signal = plausibleSignal(rssi);
        ap.Latitude = lat;
        ap.Longitude = lon;
        Observation o;
        o.firstSeen = o.lastSeen = seen;
        o.capabilities = boundedCapabilities(logText(auth.first(std::min<qsizetype>(auth.size(), MaxCapabilities))));
        o.security = securityClassOf(o.capabilities);
        o.hidden = name.trimmed().isEmpty();
        o.originalSsid = o.hidden ? QString() : boundedSsid(name);
        double channel = 0, frequency = 0;
        if (number(field(c.channel), channel))
            o.channel = plausibleChannel(channel);
        if (number(field(c.frequency), frequency))
            o.frequencyMHz = plausibleFrequency(frequency);
        o.band = bandOf(o.channel, o.frequencyMHz);
        if (o.channel == 0)
            o.channel = channelOf(o.frequencyMHz);
        o.sourceLine = m_lines.lineNumber();
        setSecurity(ap, wigleAuthEncrypted(auth), wigleAuthAdHoc(auth));
        if (o.security == SecurityClass::Unknown && !o.capabilities.trimmed().isEmpty())
            ap.WEP.clear();   // "[UNKNOWN]": neither open nor encrypted
        m_merger.add(mac, std::move(ap), std::move(o));
    }

    LineReader& m_lines;
    const ReadProgress& m_progress;
    SurveyContents m_out;
    Columns m_columns;
    CsvFields m_fields;
    SightingMerger m_merger;
};

} // namespace

bool wigleAuthEncrypted(QByteArrayView authMode)
{
    const QByteArray upper = authMode.toByteArray().toUpper();
    for (const char* token : {"WEP", "WPA", "OWE", "SAE", "802.1X", "EAP", "PSK"})
        if (containsToken(upper, token))
            return true;
    return false;
}

bool wigleAuthAdHoc(QByteArrayView authMode)
{
    return authMode.toByteArray().toUpper().contains("[IBSS]");
}

bool looksLikeWigleCsv(QByteArrayView head)
{
    if (head.startsWith("\xEF\xBB\xBF"))
        head = head.sliced(3);
    if (head.startsWith("WigleWifi-"))
        return true;
    // A bare heading without the pre-header, as some firmwares write it.
    const qsizetype eol = head.indexOf('\n');
    const QByteArrayView first = eol < 0 ? head : head.first(eol);
    return first.startsWith("MAC,SSID,AuthMode,");
}

SurveyContents readWigleCsv(QIODevice& device, const ReadProgress& progress)
{
    LineReader lines(device);
    return WigleReader(lines, progress).read();
}

SurveyContents readWigleCsv(QByteArrayView bytes, const ReadProgress& progress)
{
    LineReader lines(bytes);
    return WigleReader(lines, progress).read();
}

} // namespace aero::import
