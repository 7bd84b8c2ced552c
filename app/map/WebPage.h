#pragma once
// The map as one self-contained web page a user can publish: the base map of the view as
// pictures the engine rendered (whatever layers it draws), every marker with its own symbol
// (each symbol picture embedded once), a legend, a scale bar, pan and zoom, a click that shows a
// marker's note, and a searchable table of the markers. Nothing in it refers to another file or
// server (its Content-Security-Policy forbids it), and the markers' texts travel as JSON data
// that the page only ever puts into the document as text.
#include "map/MapService.h"

#include <QByteArray>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <vector>

class QIODevice;

namespace aero {

struct MapDocument;

struct WebPagePicture {
    QByteArray bytes;     // JPEG or PNG
    QString mime;
    QRectF world;         // the part of the Web Mercator square (0..1) it shows
};

struct WebPageSymbol {
    int number = 0;       // map symbol number
    QByteArray png;
    QString label;        // legend text
};

struct WebPageInput {
    QString title;
    const MapDocument* document = nullptr;
    QPointF centreWorld{0.5, 0.5};   // the view when the page opens
    double scale = 1024.0;           // pixels per world width
    double maxScale = 4096.0;        // the page zooms in no further: its base map holds no more
    QSize size{640, 480};
    MapUnit units = MapUnit::Kilometres;
    std::vector<WebPagePicture> base;       // drawn in order
    std::vector<WebPageSymbol> symbols;     // every symbol the markers use
    QStringList credits;
};

void writeWebPage(QIODevice& out, const WebPageInput& page);

// The legend text of a map symbol: the program's AP symbols by kind and band.
QString symbolLegend(int number, const QString& symbolFile);

// Text made safe for HTML element content and attribute values.
QString htmlEscaped(const QString& text);

} // namespace aero
