#include "domain/KmlWriter.h"

#include "domain/ApSymbolSet.h"
#include "domain/KmlFormat.h"

#include <QIODevice>
#include <QUrl>
#include <QXmlStreamWriter>
#include <algorithm>
#include <charconv>

namespace aero {

QString exactNumber(double value)
{
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, r.ptr - buf);
}

QString symbolStyleId(const MapFileData& data, int index)
{
    if (index < 0 || std::size_t(index) >= data.symbolFiles.size())
        return {};
    const int i = programSymbolIndex(data.symbolFiles[std::size_t(index)]);
    return i < 0 ? QString() : QString::fromLatin1(ApSymbolStyles[std::size_t(i)].id);
}

namespace {

QString boolText(bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); }

QString kindText(ShapeKind k)
{
    switch (k) {
    case ShapeKind::Line: return kml::KindLine;
    case ShapeKind::Polyline: return kml::KindPolyline;
    case ShapeKind::Figure: return kml::KindFigure;
    }
    return kml::KindLine;
}

class Writer {
public:
    // One placemark per line: readable, and a third smaller to read back than indented XML.
    explicit Writer(QIODevice& out) : w(&out) {}
    void newline() { w.writeCharacters(QStringLiteral("\n")); }

    // Carriage returns are written as references: a parser would turn a bare CR LF into LF.
    void text(const QString& s)
    {
        qsizetype start = 0;
        for (qsizetype i = 0; i < s.size(); ++i) {
            if (s[i] == QLatin1Char('\r')) {
                w.writeCharacters(s.mid(start, i - start));
                w.writeEntityReference(QStringLiteral("#13"));
                start = i + 1;
            }
        }
        w.writeCharacters(s.mid(start));
    }
    void element(const QString& name, const QString& s)
    {
        w.writeStartElement(name);
        text(kml::isXmlSafe(s) ? s : safeOnly(s));
        w.writeEndElement();
    }
    void data(const QString& name, const QString& value)
    {
        w.writeStartElement(QStringLiteral("Data"));
        w.writeAttribute(QStringLiteral("name"), name);
        element(QStringLiteral("value"), value);
        w.writeEndElement();
    }
    // The exact text of a field XML cannot carry, beside its readable form.
    void encodedIfNeeded(const QString& name, const QString& s)
    {
        if (!kml::isXmlSafe(s))
            data(name, QString::fromLatin1(QUrl::toPercentEncoding(s)));
    }
    static QString safeOnly(QString s)
    {
        for (QChar& c : s)
            if (!kml::isXmlSafe(QString(c)))
                c = QChar(0xFFFD);
        return s;
    }
    QString coordinates(const std::vector<Location>& points)
    {
        QString out;
        for (const Location& p : points) {
            if (!out.isEmpty())
                out += QLatin1Char(' ');
            out += exactNumber(p.lon) + QLatin1Char(',') + exactNumber(p.lat) + QLatin1Char(',') + exactNumber(p.alt);
        }
        return out;
    }
    QXmlStreamWriter w;
};

// KML colours are aabbggrr.
QString kmlColour(unsigned rgb)
{
    return QStringLiteral("ff%1%2%3")
        .arg(rgb & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((rgb >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((rgb >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

void writeStyle(Writer& x, const ApSymbolStyle& style, const KmlWriteOptions& options)
{
    x.w.writeStartElement(QStringLiteral("Style"));
    x.w.writeAttribute(QStringLiteral("id"), QString::fromLatin1(style.id));
    x.w.writeStartElement(QStringLiteral("IconStyle"));
    x.element(QStringLiteral("color"), kmlColour(style.rgb));
    x.element(QStringLiteral("scale"), exactNumber(style.scale));
    if (!options.iconHref.isEmpty()) {
        x.w.writeStartElement(QStringLiteral("Icon"));
        x.element(QStringLiteral("href"), options.iconHref.arg(QString::fromLatin1(style.id)));
        x.w.writeEndElement();
    }
    x.w.writeEndElement();
    x.w.writeEndElement();
    x.newline();
}

bool hasFilterMarks(const MapFileData& d)
{
    return std::any_of(d.markers.begin(), d.markers.end(), [](const MarkerRecord& m) { return m.symbol == FilteredSymbol; });
}

void writeStyles(Writer& x, const MapFileData& d, const KmlWriteOptions& options)
{
    for (const QString& file : d.symbolFiles)
        if (const int k = programSymbolIndex(file); k >= 0)
            writeStyle(x, ApSymbolStyles[std::size_t(k)], options);
    if (hasFilterMarks(d))
        writeStyle(x, FilteredStyle, options);
}

void writeDocumentData(Writer& x, const MapFileData& d, const KmlWriteOptions& options)
{
    x.w.writeStartElement(QStringLiteral("LookAt"));
    x.element(QStringLiteral("longitude"), exactNumber(d.view.lon));
    x.element(QStringLiteral("latitude"), exactNumber(d.view.lat));
    x.element(QStringLiteral("altitude"), QStringLiteral("0"));
    // Range in metres, for other programs; our own exact altitude is in ExtendedData.
    const double metres = d.view.alt * (d.units == MapUnit::Kilometres ? 1000.0 : 1609.344);
    x.element(QStringLiteral("range"), exactNumber(metres));
    x.w.writeEndElement();
    x.newline();
    writeStyles(x, d, options);   // KML wants styles before the ExtendedData
    x.w.writeStartElement(QStringLiteral("ExtendedData"));
    x.data(kml::Region, QString::number(d.region));
    x.data(kml::Units, QString::number(int(d.units)));
    x.data(kml::ViewStyle, QString::number(d.viewStyle));
    x.data(kml::NavigationToolbar, boolText(d.navigationToolbar));
    x.data(kml::DrawingToolbar, boolText(d.drawingToolbar));
    x.data(kml::Places, boolText(d.places));
    x.data(kml::MarkerSet, boolText(d.hasMarkerSet));
    x.data(kml::ViewLatitude, exactNumber(d.view.lat));
    x.data(kml::ViewLongitude, exactNumber(d.view.lon));
    x.data(kml::ViewAltitude, exactNumber(d.view.alt));
    for (const QString& file : d.symbolFiles)
        x.data(kml::SymbolFile, file);
    for (const auto& [key, value] : d.programData)
        x.data(key, value);
    x.w.writeEndElement();
    x.newline();
}

// Another program's placemark data, back as it came.
void writeForeignData(Writer& x, const ForeignData& data)
{
    for (const auto& [name, value] : data)
        x.data(name, value);
}

void writeMarker(Writer& x, const MarkerRecord& m, const std::vector<QString>& styleOfSymbol)
{
    x.w.writeStartElement(QStringLiteral("Placemark"));
    x.element(QStringLiteral("name"), m.name);
    x.element(QStringLiteral("description"), m.note);
    if (const std::size_t s = std::size_t(m.symbol - BuiltInSymbolCount);
        m.symbol >= BuiltInSymbolCount && s < styleOfSymbol.size() && !styleOfSymbol[s].isEmpty())
        x.element(QStringLiteral("styleUrl"), QLatin1Char('#') + styleOfSymbol[s]);
    else if (m.symbol == FilteredSymbol)
        x.element(QStringLiteral("styleUrl"), QStringLiteral("#") + QLatin1String(FilteredStyle.id));
    x.w.writeStartElement(QStringLiteral("ExtendedData"));
    x.data(kml::Symbol, QString::number(m.symbol));
    if (m.displayState != 0)   // the usual state is left out: it keeps large maps quick to read
        x.data(kml::DisplayState, QString::number(m.displayState));
    x.encodedIfNeeded(kml::NameEncoded, m.name);
    x.encodedIfNeeded(kml::NoteEncoded, m.note);
    writeForeignData(x, m.foreignData);
    x.w.writeEndElement();
    x.w.writeStartElement(QStringLiteral("Point"));
    x.element(QStringLiteral("coordinates"), x.coordinates({m.where}));
    x.w.writeEndElement();
    x.w.writeEndElement();
    x.newline();
}

void writeShape(Writer& x, const Shape& s)
{
    x.w.writeStartElement(QStringLiteral("Placemark"));
    if (!s.text.isEmpty())
        x.element(QStringLiteral("name"), s.text);
    x.w.writeStartElement(QStringLiteral("ExtendedData"));
    x.data(kml::ShapeKind, kindText(s.kind));
    x.data(kml::LineColor, QString::number(s.lineColor));
    x.data(kml::LineSetting, QString::number(s.lineSetting));
    x.data(kml::Width, exactNumber(s.width));
    x.data(kml::Height, exactNumber(s.height));
    x.data(kml::Text, s.text);
    x.encodedIfNeeded(kml::TextEncoded, s.text);
    x.w.writeEndElement();
    x.w.writeStartElement(s.kind == ShapeKind::Figure ? QStringLiteral("Point") : QStringLiteral("LineString"));
    x.element(QStringLiteral("coordinates"), x.coordinates(s.points));
    x.w.writeEndElement();
    x.w.writeEndElement();
    x.newline();
}

} // namespace

bool writeKml(const MapFileData& data, QIODevice& out, const KmlWriteOptions& options)
{
    Writer x(out);
    x.w.writeStartDocument();
    x.w.writeStartElement(QStringLiteral("kml"));
    x.w.writeDefaultNamespace(kml::Namespace);
    x.w.writeStartElement(QStringLiteral("Document"));
    x.newline();
    x.element(QStringLiteral("name"), QStringLiteral("Aeroplotter map"));
    x.newline();
    writeDocumentData(x, data, options);
    std::vector<QString> styleOfSymbol;
    for (std::size_t i = 0; i < data.symbolFiles.size(); ++i)
        styleOfSymbol.push_back(symbolStyleId(data, int(i)));
    x.w.writeStartElement(QStringLiteral("Folder"));
    x.element(QStringLiteral("name"), QStringLiteral("Marker set 1"));
    x.newline();
    for (const MarkerRecord& m : data.markers)
        writeMarker(x, m, styleOfSymbol);
    x.w.writeEndElement();
    x.newline();
    x.w.writeStartElement(QStringLiteral("Folder"));
    x.element(QStringLiteral("name"), QStringLiteral("Shapes"));
    x.newline();
    for (const Shape& s : data.shapes)
        writeShape(x, s);
    x.w.writeEndElement();
    x.newline();
    x.w.writeEndElement();
    x.w.writeEndElement();
    x.newline();
    x.w.writeEndDocument();
    return !x.w.hasError();
}

} // namespace aero
