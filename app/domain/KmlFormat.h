#pragma once
// Names shared by the KML writer and reader.
#include <QString>

namespace aero::kml {

inline const QString Namespace = QStringLiteral("http://www.opengis.net/kml/2.2");
inline const QString Generator = QStringLiteral("Aeroplotter");

// Document ExtendedData
inline const QString Region = QStringLiteral("region");
inline const QString Units = QStringLiteral("units");
inline const QString ViewStyle = QStringLiteral("viewStyle");
inline const QString NavigationToolbar = QStringLiteral("navigationToolbar");
inline const QString DrawingToolbar = QStringLiteral("drawingToolbar");
inline const QString Places = QStringLiteral("pointsOfInterest");
inline const QString MarkerSet = QStringLiteral("markerSet");
inline const QString ViewLatitude = QStringLiteral("viewLatitude");
inline const QString ViewLongitude = QStringLiteral("viewLongitude");
inline const QString ViewAltitude = QStringLiteral("viewAltitude");
inline const QString SymbolFile = QStringLiteral("symbolFile");

// Placemark ExtendedData
inline const QString Symbol = QStringLiteral("symbol");
inline const QString DisplayState = QStringLiteral("displayState");
inline const QString ShapeKind = QStringLiteral("shapeKind");
inline const QString LineColor = QStringLiteral("lineColor");
inline const QString LineSetting = QStringLiteral("lineSetting");
inline const QString Width = QStringLiteral("widthKm");
inline const QString Height = QStringLiteral("heightKm");
inline const QString Text = QStringLiteral("text");
// Texts holding characters XML 1.0 cannot carry are repeated percent-encoded under these.
inline const QString NameEncoded = QStringLiteral("nameEncoded");
inline const QString NoteEncoded = QStringLiteral("descriptionEncoded");
inline const QString TextEncoded = QStringLiteral("textEncoded");

inline const QString KindLine = QStringLiteral("line");
inline const QString KindPolyline = QStringLiteral("polyline");
inline const QString KindFigure = QStringLiteral("figure");

// Characters XML 1.0 cannot carry, not even as references.
inline bool isXmlSafe(const QString& s)
{
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s[i].unicode();
        if ((u < 0x20 && u != 0x9 && u != 0xA && u != 0xD) || u == 0xFFFE || u == 0xFFFF)
            return false;
        if (QChar::isHighSurrogate(u) && i + 1 < s.size() && QChar::isLowSurrogate(s[i + 1].unicode()))
            ++i;
        else if (QChar::isSurrogate(u))
            return false;
    }
    return true;
}

} // namespace aero::kml
