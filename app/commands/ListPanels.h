#pragma once
// What the user does with the two AP lists: a click opens an AP's marker, a double click shows
// its note, and an AP without coordinates can be placed by hand with a click on the map.
#include "ui/AppContext.h"
#include "map/MapService.h"

#include <QObject>

namespace aero {

class ListPanels final : public QObject {
    Q_OBJECT
public:
    explicit ListPanels(AppContext& ctx, QObject* parent = nullptr);

    void lstAP_Click(int row);
    void lstAP_DblClick(int row);
    void lstNoGps_DblClick(int row);
    void Map_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Map_MouseUp();
    // A click on a marker on the map: its balloon opens and the list shows its entry.
    void Map_MarkerClick(MarkerId marker);

    bool placementMode() const { return m_placing; }
    QString selectedMarkerName() const { return m_selected; }

private:
    void showMarker(int row, int displayState, bool locationOption);
    void place(int x, int y);

    AppContext& m_ctx;
    QString m_selected;       // the SSID of the marker last shown from lstAP
    bool m_placing = false;
    QString m_placingSsid;    // the lstNoGps entry being placed
};

} // namespace aero
