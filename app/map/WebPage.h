#pragma once
// The map as one self-contained web page: the current view as inline SVG (outline, shapes,
// markers with their notes as tooltips) and a table of every marker. Nothing in it refers
// to another file or server, and every text from the map is escaped.
#include <QString>

class QImage;

class QIODevice;

namespace aero {

class BaseMap;
class Viewport;
struct MapDocument;

// `baseImage`, when given, is the view's base layers drawn in full (roads, tiles) and stands
// in for the outline.
void writeWebPage(QIODevice& out, const QString& title, const MapDocument& document, const Viewport& view,
                  const BaseMap* base, const QImage* baseImage = nullptr);

// Text made safe for HTML element content and attribute values.
QString htmlEscaped(const QString& text);

} // namespace aero
