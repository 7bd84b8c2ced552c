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
class QLineEdit;
class QSortFilterProxyModel;
class QSplitter;
class QProgressBar;
class QToolBar;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QAction;
class QMenu;

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

    // Title and status line. The title names the map's file and marks unsaved work; the status
    // line shows the counts, the map position under the pointer, the scale and the last result.
    void showResult(const QString& text) override;
    // `afterCommand` false: between commands only the map itself changes, so the unsaved mark is
    // worked out afresh only when the map reports a change the mark does not show yet.
    void refreshTitleAndStatus(bool afterCommand = true);
    void refreshSoon();   // many changes in a row refresh once
    QString statusResult() const;
    QString statusCounts() const;
    QString statusCursor() const;
    QString statusScale() const;
    // The filter-as-you-type box above lstAP: rows showing the text in any column stay.
    QLineEdit* txtFind() const { return m_txtFind; }
    QSplitter* listSplitter() const { return m_splitAPs; }

    // Files dropped on the window or picked from a recent list: one map (after the question
    // about a changed map), then each survey log, imported by its content.
    void openFiles(const QStringList& paths);
    void openRecentMap(const QString& path);
    void importRecentLog(const QString& path);

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
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
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
    bool confirmExit();   // the one question before the program ends
    void finish(bool setExiting);
    void buildStatusLine();
    void buildShortcuts();
    void fillRecentMenu(QMenu* menu, const char* kind);
    QString shortcutHint(int index) const;
    void showCursorPosition(QPoint at);
    void importAnyLog();
    bool mapForImport();   // false, having said so, without a map
    bool fileStillThere(const QString& path, const char* kind);

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
    QLineEdit* m_txtFind = nullptr;
    QSplitter* m_splitAPs = nullptr;
    bool m_splitterMoved = false;   // the user's split stands; until then the layout table's
    QSortFilterProxyModel* m_lstAPShown = nullptr;
    QLabel* m_statusResult = nullptr;
    QLabel* m_statusCounts = nullptr;
    QLabel* m_statusCursor = nullptr;
    QLabel* m_statusScale = nullptr;
    QTimer m_refresh;
    bool m_busy = false;            // long work: the title waits for its end
    APListModel m_lstAPModel;
    APListModel m_lstNoGpsModel;
    QTimer m_tmrImport;   // import animation
    QTimer m_tmrGPS;      // the nearest-AP tick of live position
    bool m_ended = false;
};

} // namespace aero
