#pragma once
// The main window: map frame, navigation panel, progress panel, the two AP lists and the
// toolbar whose buttons and drop-down entries start every command.
#include "ui/APListModel.h"
#include "ui/AppContext.h"
#include "ui/PlotterWindow.h"

#include <QHash>
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <map>

class QGroupBox;
class QLabel;
class QProgressBar;
class QToolBar;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QAction;

namespace aero {

class frmPlotter final : public QMainWindow, public PlotterWindow {
    Q_OBJECT
public:
    explicit frmPlotter(AppContext& ctx, QWidget* parent = nullptr);
    ~frmPlotter() override;

    // Dispatch, as a click on a button or a drop-down entry would.
    void tbMain_ButtonClick(const QString& key) override;
    void tbMain_ButtonMenuClick(int button, int entry);
    void tbMain_ButtonMenuClick(MenuEntry entry) override { tbMain_ButtonMenuClick(entry.button, entry.entry); }

    // Commands of other modules are registered here by the composition root.
    using Command = std::function<void()>;
    void setButtonCommand(const QString& key, Command command);
    void setMenuCommand(MenuEntry entry, Command command);

    void SetToolbarEnabled(bool enabled) override;
    bool toolbarButtonEnabled(int index) const;
    QString menuText(MenuEntry entry) const;
    void setMenuText(MenuEntry entry, const QString& text);
    // Shows `hint` beside an entry's text (right-aligned, as a shortcut would be); menuText()
    // stays the entry's own text.
    void setMenuHint(MenuEntry entry, const QString& hint);
    QAction* menuAction(MenuEntry entry) const;
    QToolButton* toolButton(int index) const;

    // Panels
    void setMapWidget(QWidget* map);
    QWidget* mapWidget() const override { return m_mapa; }
    APListModel& lstAP() override { return m_lstAPModel; }
    APListModel& lstNoGps() override { return m_lstNoGpsModel; }
    QTreeView* lstAPView() const { return m_lstAP; }
    void selectLstAPRow(int row) override;
    QTreeView* lstNoGpsView() const { return m_lstNoGps; }
    QString fraAPsCaption() const override;
    void setFraAPsCaption(const QString& text) override;
    QString lblNoAPsCaption() const override;
    void setLblNoAPsCaption(const QString& text) override;
    QString fraMapCaption() const override;
    void setFraMapCaption(const QString& text) override;
    QString fraMapToolTip() const;   // why live GPS failed, beside "(GPS Error)"
    void setFraMapToolTip(const QString& text) override;
    void showProgress(bool visible) override;
    QProgressBar* pbMap() const override { return m_pbMap; }
    void setNavLabels(const QString& vel, const QString& hdg, const QString& ap, const QString& apName) override;
    QStringList navLabels() const;   // lblVel, lblHdg, lblAP, lblAPName
    void setGpsLayout(bool gps) override;     // shows or hides fraNav and re-lays the window
    bool gpsLayout() const;
    void setHourglass(bool busy) override;
    void setImportAnimation(bool running) override;
    bool importAnimationRunning() const override { return m_tmrImport.isActive(); }
    void setPositionTick(bool running) override;
    void setGpsNotice(const QString& text, bool alert) override;
    QString gpsNotice() const;   // empty while hidden
    void setNearbyAps(const QString& heading, const std::vector<NearbyRow>& rows) override;
    QTreeWidget* lstNearby() const { return m_lstNearby; }
    bool positionTickRunning() const { return m_tmrGPS.isActive(); }
    void tmrImport_Timer();
    QWidget& widget() override { return *this; }

    // Exit button (asks, then ends) and the close box's sequence without the Exiting flag.
    void Exit();
    void EndProgram();
    bool ended() const override { return m_ended; }
    // Runs the end sequence without asking (the script's $END).
    void endNow(bool setExiting) override;

    // View toggles, Trash
    void viewToggle(int entry);
    void Trash();
    void applyViewSettings() override;

    // Layout in twips for tests and start-up placement.
    void Form_Resize();
    int widthTwips() const;
    int heightTwips() const;

Q_SIGNALS:
    void programEnded();
    void lstAPClicked(int row);
    void lstAPDoubleClicked(int row);
    void lstNoGpsDoubleClicked(int row);
    void lstNoGpsPlaceByTrack();   // "Place by track…" from the lower list's context menu

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildToolbar();
    void buildPanels();
    void placePanels(int W, int H);
    void notAvailable();
    void toggleSetting(const QString& key, int entry, int toolbarItem, const QString& showText, const QString& hideText);
    void toggleNames(int entry);
    void openConfig();
    void openAbout();
    bool offerToSave();   // a changed map is offered for saving before it closes at exit; false: cancelled

    AppContext& m_ctx;
    QToolBar* m_tbMain = nullptr;
    std::map<int, QToolButton*> m_buttons;
    std::map<std::pair<int, int>, QAction*> m_entries;
    QHash<QString, Command> m_buttonCommands;
    std::map<std::pair<int, int>, Command> m_menuCommands;

    QGroupBox* m_fraMap = nullptr;
    QWidget* m_mapa = nullptr;
    QGroupBox* m_fraNav = nullptr;
    QLabel* m_lblVel = nullptr;
    QLabel* m_lblHdg = nullptr;
    QLabel* m_lblAP = nullptr;
    QLabel* m_lblAPName = nullptr;
    QTreeWidget* m_lstNearby = nullptr;
    QLabel* m_lblGpsNotice = nullptr;
    QGroupBox* m_fraProg = nullptr;
    QProgressBar* m_pbMap = nullptr;
    QGroupBox* m_fraAPs = nullptr;
    QTreeView* m_lstAP = nullptr;
    QLabel* m_lblNoAPs = nullptr;
    QTreeView* m_lstNoGps = nullptr;
    APListModel m_lstAPModel;
    APListModel m_lstNoGpsModel;
    QTimer m_tmrImport;   // import animation
    QTimer m_tmrGPS;      // the nearest-AP tick of live position
    bool m_ended = false;
};

} // namespace aero
