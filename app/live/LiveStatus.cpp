// What live GPS tells the user beside the position: the state of the fix in the map frame's
// caption and notice, a lost and regained gpsd, and the nearby-AP panel with its watch list.
#include "live/LivePosition.h"

#include "GPS.h"
#include "domain/NumberText.h"
#include "ui/PlotterWindow.h"

#include <QTime>

namespace aero {
namespace {

constexpr double FeetPerKm = 3280.84;
constexpr double KmPerMile = 1.609344;

QString distanceText(double km, MapUnit unit)
{
    if (unit == MapUnit::Miles) {
        const double miles = km / KmPerMile;
        return miles < 0.1 ? QStringLiteral("%1 ft").arg(std::lround(km * FeetPerKm)) : fixedText(miles, 2) + QStringLiteral(" mi");
    }
    return km < 1.0 ? QStringLiteral("%1 m").arg(std::lround(km * 1000.0)) : fixedText(km, 2) + QStringLiteral(" km");
}

} // namespace

FixState LivePosition::fixState() const { return m_watchdog.state(now()); }

void LivePosition::checkFix()
{
    if (!m_ctx.state.GPSEnabled || m_interrupted || !m_ctx.window)
        return;
    const FixState state = fixState();
    if (state != FixState::Live)
        dashLabels();
    showState(state);
}

void LivePosition::showState(FixState state)
{
    PlotterWindow& w = *m_ctx.window;
    QString caption = QStringLiteral("Access Point map: (GPS Enabled on ") + m_label;
    switch (state) {
    case FixState::Waiting:
    case FixState::Live:
        break;
    case FixState::NoData:
        caption += QStringLiteral(" \u2014 no data");
        break;
    case FixState::NoFix:
        caption += QStringLiteral(" \u2014 no valid fix");
        break;
    }
    w.setFraMapCaption(caption + QLatin1Char(')'));
    const QString notice = stateNotice(state);
    w.setGpsNotice(notice, state == FixState::Live && !notice.isEmpty());
    w.setFraMapToolTip(state == FixState::Waiting ? QString() : notice);
    showNearbyHeading(state);
}

QString LivePosition::stateNotice(FixState state) const
{
    const qint64 seconds = (state == FixState::NoData ? m_watchdog.sinceData(now()) : m_watchdog.sinceFix(now())) / 1000;
    switch (state) {
    case FixState::Waiting:
        return m_restoredAt.isEmpty() ? QStringLiteral("Waiting for the first fix from %1.").arg(m_where)
                                      : QStringLiteral("Reconnected to %1 at %2; waiting for the first fix.").arg(m_where, m_restoredAt);
    case FixState::Live:
        return m_alert;
    case FixState::NoData:
        return QStringLiteral("No data from %1 for %2 s: is the receiver switched on and connected?").arg(m_where).arg(seconds);
    case FixState::NoFix: {
        QString text = m_watchdog.hadFix() ? QStringLiteral("%1 sends data but no valid fix; the last fix is %2 s old.").arg(m_where).arg(seconds)
                                           : QStringLiteral("%1 sends data but no valid fix yet.").arg(m_where);
        if (!m_gps.AllTalkers())
            text += QStringLiteral(" Only GPS ($GP) sentences are read (Configure: Read every satellite system).");
        return text;
    }
    }
    return {};
}

void LivePosition::connectionInterrupted(const QString& reason)
{
    if (!m_ctx.state.GPSEnabled)
        return;
    m_interrupted = true;
    PlotterWindow& w = *m_ctx.window;
    const QString why = QStringLiteral("%1: connection lost (%2); trying again every few seconds.").arg(m_where, reason);
    w.setFraMapCaption(QStringLiteral("Access Point map: (GPS Error)"));
    w.setFraMapToolTip(why);
    w.setGpsNotice(why, true);
    dashLabels();
    showNearbyHeading(FixState::NoData);
}

void LivePosition::connectionRestored()
{
    if (!m_ctx.state.GPSEnabled)
        return;
    m_interrupted = false;
    m_restoredAt = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
    m_watchdog.start(now());
    dashLabels();
    showState(FixState::Waiting);
}

void LivePosition::updateNearby(double lat, double lon)
{
    m_nearby.sync(m_ctx.apList);
    const auto count = static_cast<std::size_t>(std::max(0.0, m_ctx.settings.number(QStringLiteral("NearbyCount"))));
    const WatchList watch(m_ctx.settings.value(QStringLiteral("WatchList")));
    const MapUnit unit = m_ctx.Mapa->Units();
    m_nearbyRows.clear();
    for (const NearbyAp& n : m_nearby.nearest(lat, lon, count)) {
        const AccessPoint& ap = m_ctx.apList.at(n.slot);
        m_nearbyRows.push_back({ap.SSID, distanceText(n.km, unit), bearingText(n.bearing), ap.MAC, watch.matches(ap)});
    }
    const auto watched = m_nearby.watchedWithin(lat, lon, m_ctx.settings.number(QStringLiteral("WatchMetres")) / 1000.0, watch);
    m_alert.clear();
    if (!watched.empty()) {
        const AccessPoint& ap = m_ctx.apList.at(watched.front().slot);
        m_alert = QStringLiteral("Watched AP \"%1\" (%2) is %3 away, %4.")
                      .arg(ap.SSID, ap.MAC, distanceText(watched.front().km, unit), bearingText(watched.front().bearing));
        if (watched.size() > 1)
            m_alert += QStringLiteral(" %1 more watched APs are within the alert distance.").arg(watched.size() - 1);
    }
}

void LivePosition::showNearbyHeading(FixState state)
{
    QString heading = QStringLiteral("Nearby APs");
    if (state != FixState::Live)
        heading += m_watchdog.hadFix() ? QStringLiteral(" (fix is stale: %1 s)").arg(m_watchdog.sinceFix(now()) / 1000)
                                       : QStringLiteral(" (no fix yet)");
    m_ctx.window->setNearbyAps(heading, m_nearbyRows);
}

} // namespace aero
