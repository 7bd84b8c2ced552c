#include "map/WebPage.h"

#include "map/BaseMap.h"
#include "map/KmlWriter.h"
#include "map/MapDocument.h"
#include "map/MapRenderer.h"
#include "map/Viewport.h"

#include <QBuffer>
#include <QIODevice>
#include <QImage>
#include <QTextStream>
#include <cmath>

namespace aero {

QString htmlEscaped(const QString& text)
{
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '&': out += QLatin1String("&amp;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&#39;"); break;
        default:
            // Control characters have no business in a page; show them as a blank.
            out += (c.unicode() < 0x20 && c != QLatin1Char('\n') && c != QLatin1Char('\t')) ? QChar(' ') : c;
        }
    }
    return out;
}

namespace {

QString colourText(int rgb) { return colorFromRgbInt(rgb).name(); }

QString svgPath(const std::vector<OutlineLine>& lines, const Viewport& view, bool close)
{
    const QRectF world = view.visibleWorld();
    QString d;
    for (const OutlineLine& l : lines) {
        if (!l.bounds.intersects(world) && l.bounds.width() > 0 && l.bounds.height() > 0)
            continue;
        QPointF last(-1e12, -1e12);
        bool first = true;
        for (const QPointF& w : l.points) {
            const QPointF s = view.worldToScreen(w);
            if (!first && std::fabs(s.x() - last.x()) + std::fabs(s.y() - last.y()) < 1.5)
                continue;
            d += (first ? QLatin1Char('M') : QLatin1Char('L')) + QString::number(s.x(), 'f', 1) + QLatin1Char(',') +
                 QString::number(s.y(), 'f', 1);
            last = s;
            first = false;
        }
        if (close && !first)
            d += QLatin1Char('Z');
    }
    return d;
}

QByteArray pngBase64(const QImage& image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toBase64();
}

void writeSvg(QTextStream& o, const MapDocument& doc, const Viewport& view, const BaseMap* base, const QImage* baseImage)
{
    const int w = view.size().width(), h = view.size().height();
    o << "<svg width=\"" << w << "\" height=\"" << h << "\" viewBox=\"0 0 " << w << ' '
      << h << "\">\n<rect width=\"100%\" height=\"100%\" fill=\"#aacae8\"/>\n";
    if (baseImage && !baseImage->isNull()) {
        o << "<image width=\"" << w << "\" height=\"" << h << "\" href=\"data:image/png;base64,"
          << pngBase64(*baseImage) << "\"/>\n";
    } else if (base) {
        o << "<path fill=\"#f3f0e6\" stroke=\"#5f7896\" stroke-width=\"1\" fill-rule=\"evenodd\" d=\""
          << svgPath(base->land(), view, true) << "\"/>\n";
        o << "<path fill=\"none\" stroke=\"#966482\" stroke-dasharray=\"4 2\" d=\"" << svgPath(base->borders(), view, false)
          << "\"/>\n";
    }
    for (const Shape& s : doc.shapes) {
        QString pts;
        for (const Location& p : s.points) {
            const QPointF q = view.toScreen(p.lat, p.lon);
            pts += QString::number(q.x(), 'f', 1) + QLatin1Char(',') + QString::number(q.y(), 'f', 1) + QLatin1Char(' ');
        }
        o << "<polyline fill=\"none\" stroke=\"" << colourText(s.lineColor) << "\" stroke-width=\""
          << 1 + std::clamp(s.lineSetting, 0, 8) << "\" points=\"" << pts.trimmed() << "\"><title>" << htmlEscaped(s.text)
          << "</title></polyline>\n";
    }
    const QRectF screen(QPointF(0, 0), view.size());
    doc.markers.forEach([&](const Marker& m) {
        const QPointF p = view.toScreen(m.where.lat, m.where.lon);
        if (!screen.contains(p))
            return;
        const bool ap = m.symbol >= BuiltInSymbolCount;
        o << "<circle cx=\"" << QString::number(p.x(), 'f', 1) << "\" cy=\"" << QString::number(p.y(), 'f', 1)
          << "\" r=\"5\" fill=\"" << (ap ? "#2e9e3e" : "#d03030") << "\" stroke=\"#202020\"><title>" << htmlEscaped(m.name);
        if (!m.note.isEmpty())
            o << "\n" << htmlEscaped(m.note);
        o << "</title></circle>\n";
        if (m.displayState > 0)
            o << "<text x=\"" << QString::number(p.x() + 8, 'f', 1) << "\" y=\"" << QString::number(p.y() + 4, 'f', 1)
              << "\" font-size=\"11\">" << htmlEscaped(m.name) << "</text>\n";
    });
    o << "</svg>\n";
}

void writeTable(QTextStream& o, const MapDocument& doc)
{
    o << "<table>\n<thead><tr><th>Name</th><th>Latitude</th><th>Longitude</th><th>Note</th></tr></thead>\n<tbody>\n";
    doc.markers.forEach([&](const Marker& m) {
        QString note = htmlEscaped(m.note);
        note.replace(QLatin1String("\r\n"), QLatin1String("<br>")).replace(QLatin1Char('\n'), QLatin1String("<br>"));
        o << "<tr><td>" << htmlEscaped(m.name) << "</td><td>" << exactNumber(m.where.lat) << "</td><td>"
          << exactNumber(m.where.lon) << "</td><td>" << note << "</td></tr>\n";
    });
    o << "</tbody>\n</table>\n";
}

} // namespace

void writeWebPage(QIODevice& out, const QString& title, const MapDocument& document, const Viewport& view,
                  const BaseMap* base, const QImage* baseImage)
{
    QTextStream o(&out);
    o.setEncoding(QStringConverter::Utf8);
    const QString t = htmlEscaped(title);
    o << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" << t << "</title>\n"
      << "<style>body{font-family:sans-serif;margin:1em}table{border-collapse:collapse;margin-top:1em}"
         "td,th{border:1px solid #999;padding:2px 6px;text-align:left;vertical-align:top}"
         "svg{border:1px solid #666}.credit{font-size:small;color:#555}</style>\n</head>\n<body>\n<h1>"
      << t << "</h1>\n";
    writeSvg(o, document, view, base, baseImage);
    o << "<p class=\"credit\">Base map: Natural Earth (public domain)"
      << (baseImage ? QStringLiteral("; road map data \u00A9 OpenStreetMap contributors where shown") : QString())
      << ".</p>\n";
    writeTable(o, document);
    o << "</body>\n</html>\n";
    o.flush();
}

} // namespace aero
