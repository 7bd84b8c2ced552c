#pragma once
// Live GPS on the map: switching the receiver on and off from the GPS button, the position
// marker, the driven track, speed and heading, and the nearest AP every 30 seconds. Beside
// that it tells the truth about the fix (a watchdog: no data, no valid fix, live; a lost gpsd
// and its return) and keeps the nearby-AP panel with its watch list.
#include "ui/AppContext.h"
#include "ui/PlotterWindow.h"
#include "map/MapService.h"
#include "domain/NearbyAps.h"
#include "live/FixWatchdog.h"
#include "live/TrackStep.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <optional>

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

    // The watchdog's look at the fix now (the tick does this every second).
    void checkFix();
    FixState fixState() const;

    static constexpr const char* MarkerName = "Stumbler";
    static constexpr int WatchdogTickMs = 1000;

private:
    bool needMap();
    void connected(const QString& label, const QString& where);
    void failed(const QString& where, const QString& reason);
    void connectionLost(const QString& reason);
    void connectionInterrupted(const QString& reason);
    void connectionRestored();
    void updateLabels(float speed, float heading);
    void dashLabels();
    void drawTrack(const Location& current, const QString& hora);
    void showState(FixState state);
    QString stateNotice(FixState state) const;
    void updateNearby(double lat, double lon);
    void showNearbyHeading(FixState state);
    std::int64_t now() const { return m_clock.elapsed(); }

    AppContext& m_ctx;
    GPS& m_gps;
    double m_prevLat = 0.0;   // kept for the whole run: the track goes on after GPS off and on
    double m_prevLon = 0.0;
    std::optional<int> m_prevSecond;
    NearestAp m_nearest;
    QString m_where;   // what GPS is connected to, for the reason it was lost
    QString m_label;   // the same as the caption names it: "COM1:", "gpsd host:port"
    QElapsedTimer m_clock;
    QTimer m_tick;
    FixWatchdog m_watchdog;
    bool m_interrupted = false;   // gpsd went away and is being called again
    QString m_restoredAt;         // when gpsd came back, until the first fix
    NearbyAps m_nearby;
    std::vector<NearbyRow> m_nearbyRows;
    QString m_alert;              // a watched AP within the alert distance
};

} // namespace aero
