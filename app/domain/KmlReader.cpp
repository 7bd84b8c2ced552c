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

bool finite(const Location& l) { return std::isfinite(l.lat) && std::isfinite(l.lon) && std::isfinite(l.alt); }

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
        if (!okLon || !okLat || !okAlt || !finite(l))
            return false;
        out.push_back(l);
    }
    return !out.empty();
}

// gx:coord: "lon lat [alt]" separated by blanks.
bool parseTrackCoord(const QString& text, std::vector<Location>& out)
{
    const QStringList parts = text.simplified().split(QLatin1Char(' '));
    if (parts.size() < 2 || parts.size() > 3)
        return false;
    bool okLon = false, okLat = false, okAlt = true;
    Location l{parts[1].toDouble(&okLat), parts[0].toDouble(&okLon), parts.size() == 3 ? parts[2].toDouble(&okAlt) : 0.0};
    if (!okLon || !okLat || !okAlt || !finite(l))
        return false;
    out.push_back(l);
    return true;
}

enum class Geo { None, Point, Line, Ring, Polygon, Boundary, Multi, Track };

Geo geometryKind(QStringView n)
{
    if (n == QLatin1String("Point")) return Geo::Point;
    if (n == QLatin1String("LineString")) return Geo::Line;
    if (n == QLatin1String("LinearRing")) return Geo::Ring;
    if (n == QLatin1String("Polygon")) return Geo::Polygon;
    if (n == QLatin1String("outerBoundaryIs") || n == QLatin1String("innerBoundaryIs")) return Geo::Boundary;
    if (n == QLatin1String("MultiGeometry") || n == QLatin1String("MultiTrack")) return Geo::Multi;
    if (n == QLatin1String("Track")) return Geo::Track;
    return Geo::None;
}

// Features a map cannot show: counted, named to the user, and left out.
bool unkeepable(QStringView n)
{
    for (const char* k : {"GroundOverlay", "ScreenOverlay", "PhotoOverlay", "NetworkLink", "Model", "Tour"})
        if (n == QLatin1String(k))
            return true;
    return false;
}

// The keys this program writes on its own placemarks; any other is another program's data.
bool placemarkKey(const QString& key)
{
    for (const QString* k : {&kml::Symbol, &kml::DisplayState, &kml::NameEncoded, &kml::NoteEncoded, &kml::ShapeKind,
                             &kml::LineColor, &kml::LineSetting, &kml::Width, &kml::Height, &kml::Text, &kml::TextEncoded})
        if (key == *k)
            return true;
    return false;
}

bool documentKey(const QString& key)
{
    for (const QString* k : {&kml::Region, &kml::Units, &kml::ViewStyle, &kml::NavigationToolbar, &kml::DrawingToolbar,
                             &kml::Places, &kml::MarkerSet, &kml::ViewLatitude, &kml::ViewLongitude, &kml::ViewAltitude})
        if (key == *k)
            return true;
    return false;
}

struct Placemark {
    QString name, description;
    DataMap data;                 // this program's own keys
    ForeignData foreignData;      // any other, in file order
    std::vector<Location> points;
    std::vector<std::vector<Location>> lines;   // line strings, rings, polygon boundaries, tracks
    int badCoordinates = 0;
    int shortLines = 0;
    bool unkept = false;
};

class Reader {
public:
    explicit Reader(QIODevice& in) : x(&in) {}
    explicit Reader(const QByteArray& bytes) : x(bytes) {}
    KmlResult run();

private:
    // Every token goes through next(), which keeps the depth and refuses excessive nesting;
    // the helpers below walk elements with loops, never by recursing per level.
    bool next();
    void skip();
    QString text();
    bool child(int depth);

    void readDocumentLevel();
    void readExtendedData(DataMap& into, bool document, ForeignData* foreign = nullptr);
    void readGeometry(Placemark& p);
    void readPlacemark();
    void readLookAt();
    void applyDocumentData(const DataMap& d);
    void addPlacemark(const Placemark& p);
    void addOwnShape(const Placemark& p, const QString& kind);
    void notKept(const QString& kind, int n = 1);
    // Content of another program's KML the map cannot hold; named only when the document
    // turns out not to be one of ours (our own files use folders, styles and data themselves).
    void foreign(const QString& kind, int n = 1);
    QString decoded(const Placemark& p, const QString& key, const QString& plain) const;

    QXmlStreamReader x;
    KmlResult r;
    int m_depth = 0;
    std::vector<std::pair<QString, int>> m_foreign;
};

bool Reader::next()
{
    if (x.atEnd())
        return false;
    x.readNext();
    if (x.isStartElement()) {
        if (++m_depth > MaxKmlNesting) {
            x.raiseError(QStringLiteral("elements nested deeper than %1 levels").arg(MaxKmlNesting));
            return false;
        }
    } else if (x.isEndElement()) {
        --m_depth;
    }
    return x.tokenType() != QXmlStreamReader::Invalid;
}

// The rest of the element just started.
void Reader::skip()
{
    const int d = m_depth;
    while (m_depth >= d && next()) {
    }
}

// The text of the element just started, child elements' text included.
QString Reader::text()
{
    const int d = m_depth;
    QString s;
    while (next()) {
        if (x.isCharacters())
            s += x.text();
        else if (x.isEndElement() && m_depth < d)
            break;
    }
    return s;
}

// The next child of the element started at `depth`; false once that element ends.
bool Reader::child(int depth)
{
    while (next()) {
        if (x.isStartElement())
            return true;
        if (x.isEndElement() && m_depth < depth)
            return false;
    }
    return false;
}

void Reader::notKept(const QString& kind, int n)
{
    for (auto& [k, count] : r.notKept)
        if (k == kind) {
            count += n;
            return;
        }
    r.notKept.emplace_back(kind, n);
}

void Reader::foreign(const QString& kind, int n)
{
    if (n <= 0)
        return;
    for (auto& [k, count] : m_foreign)
        if (k == kind) {
            count += n;
            return;
        }
    m_foreign.emplace_back(kind, n);
}

KmlResult Reader::run()
{
    while (next() && !x.isStartElement()) {
    }
    if (!x.isStartElement() || x.name() != QLatin1String("kml")) {
        r.error = x.hasError() ? x.errorString() : QStringLiteral("not a KML document");
        r.line = x.lineNumber();
        return r;
    }
    while (next())
        if (x.isStartElement())
            readDocumentLevel();
    if (x.hasError()) {
        r.error = x.errorString();
        r.line = x.lineNumber();
    }
    if (!r.ours)
        for (const auto& [kind, n] : m_foreign)
            notKept(kind, n);
    return r;
}

void Reader::readDocumentLevel()
{
    const QStringView name = x.name();
    if (name == QLatin1String("Placemark")) {
        readPlacemark();
    } else if (name == QLatin1String("LookAt")) {
        readLookAt();
    } else if (name == QLatin1String("ExtendedData")) {
        DataMap d;
        readExtendedData(d, true);
        applyDocumentData(d);
    } else if (unkeepable(name)) {
        notKept(name.toString());
        skip();
    } else if (name == QLatin1String("Folder")) {
        foreign(QStringLiteral("folders (their contents are kept, not the grouping)"));
    } else if (name != QLatin1String("Document")) {
        if (name == QLatin1String("Style") || name == QLatin1String("StyleMap"))
            foreign(QStringLiteral("styles"));
        skip();   // schemas, names: the children of Document and Folder come through run()
    }
}

void Reader::readExtendedData(DataMap& into, bool document, ForeignData* foreignData)
{
    const int d = m_depth;
    while (child(d)) {
        if (x.name() != QLatin1String("Data")) {
            skip();
            continue;
        }
        const QString key = x.attributes().value(QLatin1String("name")).toString();
        QString value;
        const int dd = m_depth;
        while (child(dd)) {
            if (x.name() == QLatin1String("value"))
                value = text();
            else
                skip();
        }
        if (!document && foreignData && !placemarkKey(key))
            foreignData->emplace_back(key, value);
        else if (!document)
            into.insert(key, value);
        else if (key == kml::SymbolFile)
            r.data.symbolFiles.push_back(value);
        else if (documentKey(key))
            into.insert(key, value);
        else
            r.data.programData.emplace_back(key, value);
    }
}

void Reader::applyDocumentData(const DataMap& d)
{
    if (!d.contains(kml::Units))
        return;
    r.ours = true;
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
    const int d = m_depth;
    while (child(d)) {
        if (x.name() == QLatin1String("latitude"))
            lat = text().toDouble(&okLat);
        else if (x.name() == QLatin1String("longitude"))
            lon = text().toDouble(&okLon);
        else if (x.name() == QLatin1String("range"))
            range = text().toDouble();
        else
            skip();
    }
    // Our own files say it exactly in ExtendedData, which comes later and wins.
    if (okLat && okLon && !r.ours && std::isfinite(lat) && std::isfinite(lon)) {
        r.data.view = Location{lat, lon, range > 0 && std::isfinite(range) ? range / 1000.0 : 0.0};
        r.hasView = true;
    }
}

// A geometry element and everything inside it, MultiGeometry at any depth, in one loop: `open`
// holds the geometry elements entered, one per level, so it never outgrows MaxKmlNesting.
void Reader::readGeometry(Placemark& p)
{
    const int top = m_depth;
    std::vector<Geo> open{geometryKind(x.name())};
    if (open.back() == Geo::Polygon)
        foreign(QStringLiteral("polygon fills (drawn as outlines)"));
    std::vector<Location> track;
    while (m_depth >= top && next()) {
        if (x.isEndElement()) {
            if (open.back() == Geo::Track) {
                if (track.size() >= 2)
                    p.lines.push_back(std::move(track));
                else if (!track.empty())
                    ++p.shortLines;
                track.clear();
            }
            open.pop_back();
            continue;
        }
        if (!x.isStartElement())
            continue;
        const QStringView name = x.name();
        if (name == QLatin1String("coordinates")) {
            std::vector<Location> points;
            if (!parseCoordinates(text(), points))
                ++p.badCoordinates;
            else if (open.back() == Geo::Point)
                p.points.push_back(points.front());
            else if ((open.back() == Geo::Line || open.back() == Geo::Ring) && points.size() >= 2)
                p.lines.push_back(std::move(points));
            else if (open.back() == Geo::Line || open.back() == Geo::Ring)
                ++p.shortLines;
        } else if (name == QLatin1String("coord") && open.back() == Geo::Track) {
            if (!parseTrackCoord(text(), track))
                ++p.badCoordinates;
        } else if (const Geo kind = geometryKind(name); kind != Geo::None) {
            if (kind == Geo::Polygon)
                foreign(QStringLiteral("polygon fills (drawn as outlines)"));
            open.push_back(kind);
        } else {
            if (unkeepable(name)) {
                notKept(name.toString());
                p.unkept = true;
            }
            skip();
        }
    }
}

void Reader::readPlacemark()
{
    Placemark p;
    const int d = m_depth;
    while (child(d)) {
        const QStringView name = x.name();
        if (name == QLatin1String("name"))
            p.name = text();
        else if (name == QLatin1String("description"))
            p.description = text();
        else if (name == QLatin1String("ExtendedData"))
            readExtendedData(p.data, false, &p.foreignData);
        else if (geometryKind(name) != Geo::None)
            readGeometry(p);
        else if (name == QLatin1String("TimeStamp") || name == QLatin1String("TimeSpan")) {
            foreign(QStringLiteral("times"));
            skip();
        } else if (name == QLatin1String("Style") || name == QLatin1String("styleUrl")) {
            foreign(QStringLiteral("styles"));
            skip();
        } else if (unkeepable(name)) {
            notKept(name.toString());
            p.unkept = true;
            skip();
        } else
            skip();
    }
    if (!x.hasError()) {
        if (p.points.empty())   // kept with markers only
            foreign(QStringLiteral("ExtendedData values"), int(p.foreignData.size()));
        if (!p.description.isEmpty() && p.points.empty() && !p.lines.empty())
            foreign(QStringLiteral("descriptions of lines and areas"));
        addPlacemark(p);
    }
}

QString Reader::decoded(const Placemark& p, const QString& key, const QString& plain) const
{
    const auto it = p.data.constFind(key);
    return it == p.data.cend() ? plain : QUrl::fromPercentEncoding(it->toLatin1());
}

void Reader::addOwnShape(const Placemark& p, const QString& kind)
{
    Shape s;
    s.kind = kind == kml::KindFigure ? ShapeKind::Figure : kind == kml::KindPolyline ? ShapeKind::Polyline : ShapeKind::Line;
    if (s.kind == ShapeKind::Figure)
        s.points = p.points.empty() ? std::vector<Location>{} : std::vector<Location>{p.points.front()};
    else if (!p.lines.empty())
        s.points = p.lines.front();
    s.lineColor = p.data.value(kml::LineColor).toInt();
    s.lineSetting = p.data.value(kml::LineSetting).toInt();
    s.width = p.data.value(kml::Width).toDouble();
    s.height = p.data.value(kml::Height).toDouble();
    s.text = decoded(p, kml::TextEncoded, p.data.value(kml::Text));
    if (!s.points.empty())
        r.data.shapes.push_back(std::move(s));
    else
        notKept(QStringLiteral("shapes without usable coordinates"));
}

void Reader::addPlacemark(const Placemark& p)
{
    if (const QString kind = p.data.value(kml::ShapeKind); !kind.isEmpty()) {
        addOwnShape(p, kind);
        return;
    }
    MarkerRecord m;
    m.name = decoded(p, kml::NameEncoded, p.name);
    m.note = decoded(p, kml::NoteEncoded, p.description);
    bool ok = false;
    const int symbol = p.data.value(kml::Symbol).toInt(&ok);
    m.symbol = ok && symbol >= 0 ? symbol : DefaultSymbol;
    const int state = p.data.value(kml::DisplayState).toInt(&ok);
    m.displayState = ok && state >= 0 && state <= 2 ? state : 0;
    m.foreignData = p.foreignData;
    // Every point of a multi-geometry is a marker of the placemark's name.
    for (const Location& where : p.points) {
        m.where = where;
        r.data.markers.push_back(m);
        r.data.hasMarkerSet = true;
    }
    for (const std::vector<Location>& line : p.lines) {
        Shape s;
        s.kind = ShapeKind::Polyline;
        s.points = line;
        s.text = p.name;
        r.data.shapes.push_back(std::move(s));
    }
    if (p.shortLines)
        notKept(QStringLiteral("lines with fewer than two points"), p.shortLines);
    if (p.points.empty() && p.lines.empty() && !p.unkept && !p.shortLines) {
        ++r.skipped;
        notKept(QStringLiteral("placemarks without usable coordinates"));
    } else if (p.badCoordinates) {
        notKept(QStringLiteral("geometries with unreadable coordinates"), p.badCoordinates);
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
