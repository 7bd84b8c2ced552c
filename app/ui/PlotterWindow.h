#pragma once
// What commands may do to the main window: fill its two AP lists and set their captions, show
// long work (toolbar, hourglass, progress, the import animation), drive the live-position panel,
// and run a toolbar command as a click would. The window implements it; commands never see
// the window itself.
#include "ui/APListModel.h"
#include "ui/ToolbarTable.h"

#include <QString>
#include <vector>

class QProgressBar;
class QWidget;

namespace aero {


// One line of the nearby-AP panel.
struct NearbyRow {
    QString ssid;
    QString distance;
    QString bearing;
    QString detail;   // MAC and vendor, for the tool tip
    bool watched = false;
};

class PlotterWindow {
public:
    virtual ~PlotterWindow() = default;

    // The AP lists and their captions.
    virtual APListModel& lstAP() = 0;
    virtual APListModel& lstNoGps() = 0;
    virtual void selectLstAPRow(int row) = 0;   // makes it the current row and shows it
    virtual QString fraAPsCaption() const = 0;
    virtual void setFraAPsCaption(const QString& text) = 0;
    virtual QString lblNoAPsCaption() const = 0;
    virtual void setLblNoAPsCaption(const QString& text) = 0;
    virtual QString fraMapCaption() const = 0;
    virtual void setFraMapCaption(const QString& text) = 0;
    virtual void setFraMapToolTip(const QString& text) = 0;   // the reason behind "(GPS Error)"

    // Long work.
    virtual void SetToolbarEnabled(bool enabled) = 0;
    virtual void setHourglass(bool busy) = 0;
    virtual void showProgress(bool visible) = 0;
    virtual QProgressBar* pbMap() const = 0;
    virtual void setImportAnimation(bool running) = 0;   // "Reading input file." cycling
    virtual bool importAnimationRunning() const = 0;

    // The map frame and the view options of the View button.
    virtual QWidget* mapWidget() const = 0;
    virtual void applyViewSettings() = 0;

    // Live position: the navigation panel and the 30-second nearest-AP tick.
    virtual void setGpsLayout(bool gps) = 0;
    virtual void setNavLabels(const QString& vel, const QString& hdg, const QString& ap, const QString& apName) = 0;
    virtual void setPositionTick(bool running) = 0;
    // What live GPS is doing, over the map where it is read without hovering; empty hides it.
    virtual void setGpsNotice(const QString& text, bool alert) = 0;
    // The nearby-AP panel beside the labels; `heading` names its state ("fix is stale").
    virtual void setNearbyAps(const QString& heading, const std::vector<NearbyRow>& rows) = 0;

    // Commands as a click would run them, and the end of the program.
    virtual void tbMain_ButtonMenuClick(MenuEntry entry) = 0;
    virtual void tbMain_ButtonClick(const QString& key) = 0;
    virtual void endNow(bool setExiting) = 0;
    virtual bool ended() const = 0;

    // The window as the parent and anchor of other windows.
    virtual QWidget& widget() = 0;
};

} // namespace aero
