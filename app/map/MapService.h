#pragma once
// Every map operation the program uses, as one interface. Two instances exist: the main
// window's map `Mapa` and the map of the waypoint upload window. Failing operations throw
// aero::AppError, which the calling handler's error trap reports.
#include "domain/AppError.h"
#include "domain/Location.h"
#include "domain/MapFile.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace aero {

inline constexpr int NavigationToolbar = 2;
inline constexpr int DrawingToolbar = 3;

class MapService {
public:
    virtual ~MapService() = default;

    // Document
    virtual bool hasMap() const = 0;
    virtual void NewRegionMap(MapRegion region) = 0;                 // AppError 16398 without base data
    virtual void OpenMapFile(const QString& path) = 0;
    virtual void CloseMap() = 0;
    virtual void SaveMapFile() = 0;
    virtual void SaveMapFileAs(const QString& path) = 0;
    virtual void PublishWebPage(const QString& path, const QString& title) = 0;
    virtual void MarkSaved() = 0;
    virtual bool isSaved() const = 0;
    virtual QString fileName() const = 0;
    // Of the file last opened; cleared once the map is saved or replaced.
    virtual const LoadReport& loadReport() const = 0;
    // The program's own records kept in the map file under `key` (setting them marks the map
    // changed only when they differ).
    virtual void setProgramData(const QString& key, const QStringList& values) = 0;
    virtual QStringList programData(const QString& key) const = 0;

    // View and options
    virtual void setViewStyle(int style) = 0;
    virtual void setUnits(MapUnit unit) = 0;
    virtual MapUnit Units() const = 0;
    virtual void setToolbarVisible(int item, bool visible) = 0;
    virtual bool toolbarVisible(int item) const = 0;
    virtual void setPlacesVisible(bool visible) = 0;
    virtual bool PlacesVisible() const = 0;
    virtual double ViewAltitude() const = 0;
    virtual Location MakeLocation(double lat, double lon, double alt) const = 0;
    virtual void CentreOn(const Location& where) = 0;
    virtual Location viewCentre() const = 0;
    virtual double DistanceTo(const Location& a, const Location& b) const = 0;   // great circle, current unit
    virtual int ToScreenX(const Location& where) const = 0;
    virtual int ToScreenY(const Location& where) const = 0;
    virtual Location FromScreen(int x, int y) const = 0;
    virtual int viewWidth() const = 0;    // pixels
    virtual int viewHeight() const = 0;
    virtual QImage CopyView() const = 0;  // the visible map as a picture (never the clipboard)
    // The visible ground as a saved picture of `size` (empty: the view's): no notices,
    // selection ring or open balloon.
    virtual QImage picture(QSize size) const = 0;

    // Symbols
    virtual int SymbolCount() const = 0;
    virtual int AddSymbol(const QString& imagePath) = 0;            // returns the new symbol's number

    // Markers (marker set 1)
    virtual MarkerId AddMarker(const Location& where, const QString& name) = 0;
    virtual std::optional<MarkerId> FindMarker(const QString& name) const = 0;   // first of that name
    virtual void RemoveMarker(MarkerId marker) = 0;
    virtual void DeleteMarkerSet() = 0;
    virtual int MarkerSetCount() const = 0;                           // 0 or 1
    virtual int markerCount() const = 0;
    virtual std::vector<MarkerId> EnumerateMarkers() const = 0;       // map order
    virtual QString markerName(MarkerId marker) const = 0;
    virtual Location markerLocation(MarkerId marker) const = 0;
    virtual void setMarkerLocation(MarkerId marker, const Location& where) = 0;
    virtual QString markerNote(MarkerId marker) const = 0;
    virtual void setMarkerNote(MarkerId marker, const QString& note) = 0;
    virtual int markerSymbol(MarkerId marker) const = 0;
    virtual void setMarkerSymbol(MarkerId marker, int symbol) = 0;
    virtual int markerDisplayState(MarkerId marker) const = 0;
    virtual void setMarkerDisplayState(MarkerId marker, int state) = 0;  // 0 symbol, 1 name, 2 name and note
    // A transient marker is shown but is no part of the map: never saved, and moving it is no change.
    virtual void setMarkerTransient(MarkerId marker, bool transient) = 0;
    // Nearest marker to `where` by great-circle distance, skipping markers named `skipName`;
    // ties go to the marker earlier in map order.
    virtual std::optional<MarkerId> nearestMarker(const Location& where, const QString& skipName) const = 0;

    // Shapes
    virtual ShapeId AddLine(const Location& from, const Location& to) = 0;
    virtual ShapeId AddPolyline(const std::vector<Location>& points) = 0;
    virtual ShapeId AddShape(ShapeKind kind, const Location& centre, double width, double height) = 0;
    virtual int ShapeCount() const = 0;
    virtual ShapeId ShapeAt(int index) const = 0;                      // 1 .. ShapeCount()
    virtual void setShapeLineColor(ShapeId shape, int rgb) = 0;        // red in the low byte
    virtual void setShapeLineSetting(ShapeId shape, int setting) = 0;
    virtual void setShapeText(ShapeId shape, const QString& text) = 0;
    // The shape's text; empty for a shape that is gone.
    virtual QString shapeText(ShapeId shape) const = 0;
    // Removes the shape; a shape that is gone is passed over.
    virtual void RemoveShape(ShapeId shape) = 0;
};

} // namespace aero
