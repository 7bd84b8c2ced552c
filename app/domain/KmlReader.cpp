#include "domain/KmlReader.h"

#include "domain/KmlFormat.h"

#include <QHash>
#include <QIODevice>
#include <QUrl>
#include <QXmlStreamReader>
#include <cmath>

namespace aero {

namespace {

using DataMap = QHash<QString, QString>;

// "lon,lat[,alt]" tuples separated by white space, scanned by hand: map files hold one per marker.
bool parseCoordinates(const QString& text, std::vector<Location>& out)
{
    const QStringView all(text);
    qsizetype i = 0;
    const qsizetype n = all.size();
    while (i < n) {
        while (i < n && all[i].isSpace())
            ++i;
        const qsizetype start = i;
        while (i < n && !all[i].isSpace())
            ++i;
        if (start == i)
            break;
        const QStringView tuple = all.mid(start, i - start);
        const qsizetype c1 = tuple.indexOf(QLatin1Char(','));
        if (c1 < 0)
            return false;
        const qsizetype c2 = tuple.indexOf(QLatin1Char(','), c1 + 1);
        bool okLon = false, okLat = false, okAlt = true;
        Location l;
        l.lon = tuple.left(c1).toDouble(&okLon);
        l.lat = (c2 < 0 ? tuple.mid(c1 + 1) : tuple.mid(c1 + 1, c2 - c1 - 1)).toDouble(&okLat);
        if (c2 >= 0 && c2 + 1 < tuple.size())
            l.alt = tuple.mid(c2 + 1).toDouble(&okAlt);
        if (!okLon || !okLat || !okAlt || !std::isfinite(l.lon) || !std::isfinite(l.lat) || !std::isfinite(l.alt))
            return false;
        out.push_back(l);
    }
    return !out.empty();
}

struct Placemark {
    QString name, description;
    DataMap data;
    std::vector<Location> point, line;
    bool hasPoint = false, hasLine = false, badCoordinates = false;
};

class Reader {
public:
    explicit Reader(QIODevice& in) : x(&in) {}
    explicit Reader(const QByteArray& bytes) : x(bytes) {}
    KmlResult run();

private:
    void readDocumentLevel(QStringView name);
    void readExtendedData(DataMap& into, std::vector<QString>* symbolFiles);
    void readGeometry(Placemark& p, const QString& kind);
    void readPlacemark();
    void readLookAt();
    void applyDocumentData(const DataMap& d);
    void addPlacemark(const Placemark& p);
    QString decoded(const Placemark& p, const QString& key, const QString& plain) const;

    QXmlStreamReader x;
    KmlResult r;
    bool ours = false;   // written by this program: trust its ExtendedData
};

KmlResult Reader::run()
{
    if (!x.readNextStartElement() || x.name() != QLatin1String("kml")) {
        r.error = x.hasError() ? x.errorString() : QStringLiteral("not a KML document");
        r.line = x.lineNumber();
        return r;
    }
    while (!x.atEnd()) {
        x.readNext();
        if (x.isStartElement())
            readDocumentLevel(x.name());
    }
    if (x.hasError()) {
        r.error = x.errorString();
        r.line = x.lineNumber();
    }
    return r;
}

void Reader::readDocumentLevel(QStringView name)
{
    if (name == QLatin1String("Placemark"))
        readPlacemark();
    else if (name == QLatin1String("LookAt"))
        readLookAt();
    else if (name == QLatin1String("ExtendedData")) {
        DataMap d;
        readExtendedData(d, &r.data.symbolFiles);
        applyDocumentData(d);
    }
    // Document, Folder and anything else: their children come through the main loop.
}

void Reader::readExtendedData(DataMap& into, std::vector<QString>* symbolFiles)
{
    while (x.readNextStartElement()) {
        if (x.name() != QLatin1String("Data")) {
            x.skipCurrentElement();
            continue;
        }
        const QString key = x.attributes().value(QLatin1String("name")).toString();
        QString value;
        while (x.readNextStartElement()) {
            if (x.name() == QLatin1String("value"))
                value = x.readElementText();
            else
                x.skipCurrentElement();
        }
        if (key == kml::SymbolFile && symbolFiles)
            symbolFiles->push_back(value);
        else
            into.insert(key, value);
    }
}

void Reader::applyDocumentData(const DataMap& d)
{
    if (!d.contains(kml::Units))
        return;
    ours = true;
    r.data.region = d.value(kml::Region).toInt();
    r.data.units = d.value(kml::Units) == QLatin1String("0") ? MapUnit::Miles : MapUnit::Kilometres;
    r.data.viewStyle = d.value(kml::ViewStyle).toInt();
    r.data.navigationToolbar = d.value(kml::NavigationToolbar) == QLatin1String("1");
    r.data.drawingToolbar = d.value(kml::DrawingToolbar) == QLatin1String("1");
    r.data.places = d.value(kml::Places) == QLatin1String("1");
    r.data.hasMarkerSet = d.value(kml::MarkerSet) == QLatin1String("1");
    bool okLat = false, okLon = false, okAlt = false;
    const Location v{d.value(kml::ViewLatitude).toDouble(&okLat), d.value(kml::ViewLongitude).toDouble(&okLon),
                     d.value(kml::ViewAltitude).toDouble(&okAlt)};
    if (okLat && okLon && okAlt) {
        r.data.view = v;
        r.hasView = true;
    }
}

void Reader::readLookAt()
{
    double lat = 0, lon = 0, range = 0;
    bool okLat = false, okLon = false;
    while (x.readNextStartElement()) {
        if (x.name() == QLatin1String("latitude"))
            lat = x.readElementText().toDouble(&okLat);
        else if (x.name() == QLatin1String("longitude"))
            lon = x.readElementText().toDouble(&okLon);
        else if (x.name() == QLatin1String("range"))
            range = x.readElementText().toDouble();
        else
            x.skipCurrentElement();
    }
    // Our own files say it exactly in ExtendedData, which comes later and wins.
    if (okLat && okLon && !ours && std::isfinite(lat) && std::isfinite(lon)) {
        r.data.view = Location{lat, lon, range > 0 && std::isfinite(range) ? range / 1000.0 : 0.0};
        r.hasView = true;
    }
}

void Reader::readGeometry(Placemark& p, const QString& kind)
{
    while (x.readNextStartElement()) {
        const QString name = x.name().toString();
        if (name == QLatin1String("coordinates")) {
            std::vector<Location> points;
            const bool ok = parseCoordinates(x.readElementText(), points);
            p.badCoordinates |= !ok;
            if (ok && kind == QLatin1String("Point") && !p.hasPoint)
                p.point = points, p.hasPoint = true;
            else if (ok && kind == QLatin1String("LineString") && !p.hasLine)
                p.line = points, p.hasLine = true;
        } else if (name == QLatin1String("Point") || name == QLatin1String("LineString")) {
            readGeometry(p, name);
        } else if (name == QLatin1String("MultiGeometry")) {
            readGeometry(p, kind);
        } else {
            x.skipCurrentElement();
        }
    }
}

void Reader::readPlacemark()
{
    Placemark p;
    while (x.readNextStartElement()) {
        const QStringView name = x.name();
        if (name == QLatin1String("name"))
            p.name = x.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (name == QLatin1String("description"))
            p.description = x.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (name == QLatin1String("ExtendedData"))
            readExtendedData(p.data, nullptr);
        else if (name == QLatin1String("Point") || name == QLatin1String("LineString") || name == QLatin1String("MultiGeometry"))
            readGeometry(p, name.toString());
        else
            x.skipCurrentElement();
    }
    if (!x.hasError())
        addPlacemark(p);
}

QString Reader::decoded(const Placemark& p, const QString& key, const QString& plain) const
{
    const auto it = p.data.constFind(key);
    return it == p.data.cend() ? plain : QUrl::fromPercentEncoding(it->toLatin1());
}

void Reader::addPlacemark(const Placemark& p)
{
    const QString kind = p.data.value(kml::ShapeKind);
    if (!kind.isEmpty() && (p.hasPoint || p.hasLine)) {
        Shape s;
        s.kind = kind == kml::KindFigure ? ShapeKind::Figure : kind == kml::KindPolyline ? ShapeKind::Polyline : ShapeKind::Line;
        s.points = s.kind == ShapeKind::Figure ? p.point : p.line;
        s.lineColor = p.data.value(kml::LineColor).toInt();
        s.lineSetting = p.data.value(kml::LineSetting).toInt();
        s.width = p.data.value(kml::Width).toDouble();
        s.height = p.data.value(kml::Height).toDouble();
        s.text = decoded(p, kml::TextEncoded, p.data.value(kml::Text));
        if (!s.points.empty())
            r.data.shapes.push_back(std::move(s));
        return;
    }
    if (p.hasPoint) {
        MarkerRecord m;
        m.name = decoded(p, kml::NameEncoded, p.name);
        m.note = decoded(p, kml::NoteEncoded, p.description);
        m.where = p.point.front();
        bool ok = false;
        const int symbol = p.data.value(kml::Symbol).toInt(&ok);
        m.symbol = ok && symbol >= 0 ? symbol : DefaultSymbol;
        const int state = p.data.value(kml::DisplayState).toInt(&ok);
        m.displayState = ok && state >= 0 && state <= 2 ? state : 0;
        r.data.markers.push_back(std::move(m));
        r.data.hasMarkerSet = true;
    } else if (p.hasLine && p.line.size() >= 2) {
        // A foreign track: keep it as a polyline.
        Shape s;
        s.kind = ShapeKind::Polyline;
        s.points = p.line;
        s.text = p.name;
        r.data.shapes.push_back(std::move(s));
    } else {
        ++r.skipped;
    }
}

} // namespace

KmlResult readKml(QIODevice& in)
{
    return Reader(in).run();
}

KmlResult readKml(const QByteArray& bytes)
{
    return Reader(bytes).run();
}

} // namespace aero
