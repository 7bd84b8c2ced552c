#include "live/LivePosition.h"

#include "GPS.h"
#include "PortMap.h"
#include "ui/ErrorReport.h"
#include "domain/NumberText.h"
#include "ui/PlotterWindow.h"

namespace aero {
namespace {

// Edge margins in pixels: closer than this to an edge, the view follows the position.
constexpr int EdgeMargin = 20;
constexpr int BottomMargin = 6;
constexpr double KmPerMile = 1.609344;

} // namespace

LivePosition::LivePosition(AppContext& ctx, GPS& gps, QObject* parent) : QObject(parent), m_ctx(ctx), m_gps(gps)
{
    connect(&m_gps, &GPS::Posicion, this, &LivePosition::GPS_Position);
    connect(&m_gps, &GPS::connectionLost, this, &LivePosition::connectionLost);
    connect(&m_gps, &GPS::connectionInterrupted, this, &LivePosition::connectionInterrupted);
    connect(&m_gps, &GPS::connectionRestored, this, &LivePosition::connectionRestored);
    connect(&m_gps, &GPS::sentenceReceived, this, [this] { m_watchdog.sentence(now()); });
    m_tick.setInterval(WatchdogTickMs);
    connect(&m_tick, &QTimer::timeout, this, &LivePosition::checkFix);
    m_clock.start();
}

bool LivePosition::needMap()
{
    if (m_ctx.state.MapLoaded)
        return true;
    m_ctx.dialogs.message(QStringLiteral("Cannot execute GPS functions until a map has been loaded."), Icon::Exclamation);
    return false;
}

QString LivePosition::gpsdEntryText() const
{
    return QStringLiteral("gpsd (%1:%2)")
        .arg(m_ctx.settings.value(QStringLiteral("GpsdHost")), m_ctx.settings.value(QStringLiteral("GpsdPort")));
}

void LivePosition::gpsOn(int entry)
{
    if (!needMap())
        return;
    const int port = entry - 2;
    if (m_ctx.state.GPSEnabled)
        m_gps.Desconectar();
    const QString where = QStringLiteral("COM%1: (%2)").arg(port).arg(portmap::devicePath(port));
    m_gps.setAllTalkers(m_ctx.settings.isOn(QStringLiteral("AllTalkers")));
    if (m_gps.Conectar(static_cast<short>(port), false, QStringLiteral("4800")) != 0)
        failed(where, m_gps.lastError());
    else
        connected(QStringLiteral("COM%1:").arg(port), where);
}

void LivePosition::gpsdOn()
{
    if (!needMap())
        return;
    if (m_ctx.state.GPSEnabled)
        m_gps.Desconectar();
    const QString host = m_ctx.settings.value(QStringLiteral("GpsdHost"));
    const auto port = static_cast<quint16>(m_ctx.settings.number(QStringLiteral("GpsdPort")));
    const QString where = QStringLiteral("gpsd %1:%2").arg(host).arg(port);
    m_gps.setAllTalkers(m_ctx.settings.isOn(QStringLiteral("AllTalkers")));
    if (m_gps.ConectarGpsd(host, port) != 0)
        failed(where, m_gps.lastError());
    else
        connected(where, where);
}

void LivePosition::failed(const QString& where, const QString& reason)
{
    m_ctx.window->setFraMapCaption(QStringLiteral("Access Point map: (GPS Error)"));
    m_ctx.window->setFraMapToolTip(where + QStringLiteral(": ") + reason);
    m_ctx.window->setGpsNotice(where + QStringLiteral(": ") + reason, true);
    m_ctx.state.GPSEnabled = false;
    m_ctx.window->setPositionTick(false);
    m_tick.stop();
    m_interrupted = false;
}

void LivePosition::connectionLost(const QString& reason)
{
    if (!m_ctx.state.GPSEnabled)
        return;
    // The port is already closed: the position marker goes, as after GPS off.
    disconnect();
    failed(m_where, reason);
}

void LivePosition::connected(const QString& label, const QString& where)
{
    PlotterWindow& w = *m_ctx.window;
    MapService& map = *m_ctx.Mapa;
    m_label = label;
    m_where = where;
    m_interrupted = false;
    m_restoredAt.clear();
    m_alert.clear();
    m_nearbyRows.clear();
    m_watchdog.start(now());
    w.setGpsLayout(true);
    w.setFraMapToolTip({});
    // Nothing of an earlier session is current: dashes until this connection's first fix.
    dashLabels();
    showState(FixState::Waiting);
    m_tick.start();
    m_ctx.state.GPSEnabled = true;
    m_ctx.state.MapMouseDown = false;
    // Switching ports keeps the one position marker rather than leaving a stale second one.
    // The marker is transient: the live position is never saved with the map, and showing it
    // is no change to the map.
    const bool wasSaved = map.isSaved();
    if (const auto old = map.FindMarker(QString::fromLatin1(MarkerName))) {
        map.setMarkerTransient(*old, true);
    } else {
        const MarkerId m = map.AddMarker(map.FromScreen(map.viewWidth() / 2, map.viewHeight() / 2),
                                         QString::fromLatin1(MarkerName));
        map.setMarkerTransient(m, true);
        map.setMarkerSymbol(m, PositionSymbol);
    }
    if (wasSaved)
        map.MarkSaved();
    w.setPositionTick(true);
}

void LivePosition::gpsOff()
{
    if (!needMap())
        return;
    if (m_ctx.state.GPSEnabled)
        disconnect();
    PlotterWindow& w = *m_ctx.window;
    w.setFraMapCaption(QStringLiteral("Access Point map: (GPS Disabled)"));
    w.setFraMapToolTip({});
    w.setGpsNotice({}, false);
    w.setGpsLayout(false);
    w.setPositionTick(false);
}

void LivePosition::disconnect()
{
    m_tick.stop();
    m_interrupted = false;
    m_ctx.state.GPSEnabled = false;
    m_gps.Desconectar();
    if (m_ctx.state.MapLoaded)
        if (const auto m = m_ctx.Mapa->FindMarker(QString::fromLatin1(MarkerName)))
            m_ctx.Mapa->RemoveMarker(*m);
}

void LivePosition::GPS_Position(bool Validez, const QString& Hora, double Latitud, double Longitud, float Velocidad,
                                float Rumbo)
{
    if (!m_ctx.state.MapLoaded)
        return;
    // The watchdog hears every report, also while the user drags the map and the map ignores it.
    Validez ? m_watchdog.validFix(now()) : m_watchdog.voidFix(now());
    if (m_ctx.state.MapMouseDown)
        return;
    guarded(m_ctx.dialogs, QStringLiteral("GPS_Position"), [&] {
        if (!Validez) {
            dashLabels();
            showState(fixState());
            return;
        }
        m_restoredAt.clear();
        MapService& map = *m_ctx.Mapa;
        const Location current = map.MakeLocation(Latitud, Longitud, map.ViewAltitude());
        const int x = map.ToScreenX(current), y = map.ToScreenY(current);
        drawTrack(current, Hora);
        if (const auto m = map.FindMarker(QString::fromLatin1(MarkerName)))
            map.setMarkerLocation(*m, current);
        if (m_ctx.settings.isOn(QStringLiteral("CenterMap"))
            && (x < EdgeMargin || y < EdgeMargin || x > map.viewWidth() - EdgeMargin || y > map.viewHeight() - BottomMargin))
            map.CentreOn(current);
        if (m_ctx.state.PositionTick) {
            m_ctx.state.PositionTick = false;
            m_nearest = findNearestAp(current);
        }
        updateNearby(Latitud, Longitud);
        showState(FixState::Live);
        updateLabels(Velocidad, Rumbo);
    });
}

void LivePosition::drawTrack(const Location& current, const QString& hora)
{
    std::optional<TrackFix> previous;
    if (m_prevLat != 0.0 && m_prevLon != 0.0)
        previous = TrackFix{m_prevLat, m_prevLon, m_prevSecond};
    const TrackFix next{current.lat, current.lon, secondOfDay(hora)};
    const TrackStep step = nextTrackStep(previous, next);
    if (step == TrackStep::Continue) {
        MapService& map = *m_ctx.Mapa;
        map.AddLine(map.MakeLocation(m_prevLat, m_prevLon, map.ViewAltitude()), current);
        const ShapeId line = map.ShapeAt(map.ShapeCount());
        map.setShapeLineSetting(line, 1);
        map.setShapeLineColor(line, static_cast<int>(m_ctx.settings.number(QStringLiteral("NMEAColor"))));
    }
    // A jump is where the new segment starts; a repeated fix changes nothing.
    m_prevLat = current.lat;
    m_prevLon = current.lon;
    m_prevSecond = next.secondOfDay;
}

void LivePosition::dashLabels()
{
    m_ctx.window->setNavLabels(QStringLiteral("Speed: ---"), QStringLiteral("Heading: ---"),
                               QStringLiteral("Nearest AP: -------"), QStringLiteral("SSID: -------"));
}

void LivePosition::updateLabels(float speed, float heading)
{
    PlotterWindow& w = *m_ctx.window;
    const QString units = m_ctx.settings.value(QStringLiteral("MapUnits"));
    QString vel;
    if (units == QLatin1String("1"))
        vel = QStringLiteral("Speed: ") + fixedText(speed, 1) + QStringLiteral(" km/h");
    else if (units == QLatin1String("2"))
        vel = QStringLiteral("Speed: ") + fixedText(speed / KmPerMile, 1) + QStringLiteral(" mph");
    const QString hdg = QStringLiteral("Heading: ") + singleText(heading) + QStringLiteral("\u00ba");
    QString ap, name;
    if (!m_nearest.ssid.isEmpty()) {
        // The distance and its unit word both follow the map, whatever unit it measured in when found.
        const MapUnit unit = m_ctx.Mapa->Units();
        double distance = m_nearest.distance;
        if (m_nearest.unit != unit)
            distance = unit == MapUnit::Miles ? distance / KmPerMile : distance * KmPerMile;
        ap = QStringLiteral("Nearest AP: ") + fixedText(distance, 2)
             + (unit == MapUnit::Kilometres ? QStringLiteral(" Km.") : QStringLiteral(" miles"));
        name = QStringLiteral("SSID: ") + m_nearest.ssid;
    }
    w.setNavLabels(vel, hdg, ap, name);
}

NearestAp LivePosition::findNearestAp(const Location& where) const
{
    NearestAp best;
    const MapService& map = *m_ctx.Mapa;
    if (const auto m = map.nearestMarker(where, QString::fromLatin1(MarkerName))) {
        best.distance = map.DistanceTo(where, map.markerLocation(*m));
        best.ssid = map.markerName(*m);
        best.unit = map.Units();
    }
    return best;
}

} // namespace aero
