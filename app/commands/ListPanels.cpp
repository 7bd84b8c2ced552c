#include "commands/ListPanels.h"

#include "ui/ErrorReport.h"
#include "ui/PlotterWindow.h"
#include "domain/ApSymbols.h"
#include "map/MapService.h"

#include <QTreeView>
#include <functional>

namespace aero {
namespace {

// Which marker shows its name or balloon is a selection, not a change to the map: a map that was
// saved stays saved.
void showSelection(MapService& map, const std::function<void()>& work)
{
    const bool saved = map.isSaved();
    work();
    if (saved)
        map.MarkSaved();
}

} // namespace

ListPanels::ListPanels(AppContext& ctx, QObject* parent) : QObject(parent), m_ctx(ctx) {}

void ListPanels::showMarker(int row, int displayState, bool locationOption)
{
    APListModel& list = m_ctx.window->lstAP();
    if (list.count() == 0 || row < 0 || row >= list.count() || !m_ctx.state.MapLoaded)
        return;
    MapService& map = *m_ctx.Mapa;
    const QString ssid = list.rowAt(row).ssid;
    showSelection(map, [&] {
        if (!m_selected.isEmpty())
            if (const auto previous = map.FindMarker(m_selected))
                map.setMarkerDisplayState(*previous, 0);
        if (const auto marker = map.FindMarker(ssid)) {
            map.setMarkerDisplayState(*marker, displayState);
            Location where = map.markerLocation(*marker);
            where.LocationOption = locationOption;
            where.alt = map.ViewAltitude();
            map.CentreOn(where);
        }
    });
    m_selected = ssid;
}

void ListPanels::lstAP_Click(int row)
{
    guarded(m_ctx.dialogs, QStringLiteral("lstAP_Click"), [&] { showMarker(row, 1, true); });
}

void ListPanels::lstAP_DblClick(int row)
{
    guarded(m_ctx.dialogs, QStringLiteral("lstAP_DblClick"), [&] { showMarker(row, 2, false); });
}

void ListPanels::lstNoGps_DblClick(int row)
{
    guarded(m_ctx.dialogs, QStringLiteral("lstNoGps_DblClick"), [&] {
        APListModel& list = m_ctx.window->lstNoGps();
        if (list.count() == 0 || row < 0 || row >= list.count())
            return;
        const Answer a = m_ctx.dialogs.message(QStringLiteral("Manually place the selected AP?"), Icon::Question,
                                               Buttons::YesNo);
        m_placing = a == Answer::Yes;
        m_placingSsid = m_placing ? list.rowAt(row).ssid : QString();
        if (QWidget* map = m_ctx.window->mapWidget())
            map->setCursor(m_placing ? Qt::CrossCursor : Qt::ArrowCursor);
    });
}

void ListPanels::Map_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y)
{
    guarded(m_ctx.dialogs, QStringLiteral("Map_MouseDown"), [&] {
        m_ctx.state.MapMouseDown = true;
        if (!m_placing || (button != Qt::LeftButton && button != Qt::RightButton))
            return;
        if (QWidget* map = m_ctx.window->mapWidget())
            map->unsetCursor();
        m_placing = false;
        if (button == Qt::LeftButton)
            place(x, y);
    });
}

void ListPanels::Map_MarkerClick(MarkerId marker)
{
    guarded(m_ctx.dialogs, QStringLiteral("Map_MarkerClick"), [&] {
        if (!m_ctx.state.MapLoaded || m_placing)
            return;
        MapService& map = *m_ctx.Mapa;
        showSelection(map, [&] {
            if (!m_selected.isEmpty())
                if (const auto previous = map.FindMarker(m_selected))
                    map.setMarkerDisplayState(*previous, 0);
            map.setMarkerDisplayState(marker, 2);
        });
        m_selected = map.markerName(marker);
        const APListModel& list = m_ctx.window->lstAP();
        for (int row = 0; row < list.count(); ++row)
            if (list.rowAt(row).ssid == m_selected) {
                m_ctx.window->selectLstAPRow(row);
                break;
            }
    });
}

void ListPanels::Map_MouseUp() { m_ctx.state.MapMouseDown = false; }

void ListPanels::place(int x, int y)
{
    MapService& map = *m_ctx.Mapa;
    const Location where = map.FromScreen(x, y);
    const int slot = m_ctx.apList.findBySSID(m_placingSsid);
    APListModel& noGps = m_ctx.window->lstNoGps();
    const int row = noGps.rowOf(m_placingSsid);
    if (slot == 0 || row < 0)
        return;
    m_ctx.apList.modify(slot, [&](AccessPoint& r) {
        r.Latitude = where.lat;
        r.Longitude = where.lon;
        r.Plotted = true;
        // A sighting without a fix was stored without encryption and mode; its flags still tell.
        if (r.WEP.isEmpty() && r.Flags.size() >= 3)
            r.WEP = listedEncrypted(r) ? QStringLiteral("1") : QStringLiteral("0");
        if (r.Mode.isEmpty() && !r.Flags.isEmpty()) {
            if (r.Flags.back() == QLatin1Char('1'))
                r.Mode = QStringLiteral("1");
            else if (r.Flags.back() == QLatin1Char('2'))
                r.Mode = QStringLiteral("0");
        }
    });
    const AccessPoint& r = m_ctx.apList.at(slot);
    m_ctx.window->lstAP().addRow({r.SSID, noGps.rowAt(row).image, false, slot});
    noGps.removeRowAt(row);
    const MarkerId m = map.AddMarker(where, r.SSID);
    if (const auto symbol = apSymbol(r))
        map.setMarkerSymbol(m, *symbol);
    map.setMarkerDisplayState(m, 0);
    map.setMarkerNote(m, apNote(r));
    m_ctx.window->setFraAPsCaption(QStringLiteral("AP List: %1 logged").arg(m_ctx.window->lstAP().count()));
    m_ctx.window->setLblNoAPsCaption(QStringLiteral("APs with no GPS coordinates: %1").arg(noGps.count()));
}

} // namespace aero
