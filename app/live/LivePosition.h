#pragma once
// Live GPS on the map: switching the receiver on and off from the GPS button, the position
// marker, the driven track, speed and heading, and the nearest AP every 30 seconds.
#include "ui/AppContext.h"
#include "map/MapService.h"

#include <QObject>

class GPS;

namespace aero {

struct NearestAp {
    double distance = 1000000000.0;   // in `unit`
    QString ssid;
    MapUnit unit = MapUnit::Kilometres;
};

class LivePosition final : public QObject {
    Q_OBJECT
public:
    LivePosition(AppContext& ctx, GPS& gps, QObject* parent = nullptr);

    void gpsOn(int entry);   // GPS drop-down entries 3..10: serial ports 1..8
    void gpsdOn();           // the gpsd entry
    void gpsOff();           // entry 1
    void disconnect();       // what Exit and $END call

    // The GPS control's Posicion event.
    void GPS_Position(bool Validez, const QString& Hora, double Latitud, double Longitud, float Velocidad, float Rumbo);

    // Nearest AP marker to `where`, the live position marker left out.
    NearestAp findNearestAp(const Location& where) const;
    const NearestAp& nearest() const { return m_nearest; }

    // Menu text of the gpsd entry for the host and port in the settings.
    QString gpsdEntryText() const;

    static constexpr const char* MarkerName = "Stumbler";

private:
    bool needMap();
    void connected(const QString& where);
    void failed(const QString& where, const QString& reason);
    void connectionLost(const QString& reason);
    void updateLabels(float speed, float heading);

    AppContext& m_ctx;
    GPS& m_gps;
    double m_prevLat = 0.0;   // kept for the whole run: the track goes on after GPS off and on
    double m_prevLon = 0.0;
    NearestAp m_nearest;
    QString m_where;   // what GPS is connected to, for the reason it was lost
};

} // namespace aero
