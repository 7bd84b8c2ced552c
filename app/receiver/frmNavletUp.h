#pragma once
// The waypoint upload window: link status and model, the list of logged APs with their
// waypoint names and tick boxes, the upload map, and Go / Clear / Exit.
#include "ui/AppContext.h"
#include "receiver/UploadList.h"
#include "receiver/WaypointUpload.h"

#include <QDialog>
#include <QPointer>

class QGroupBox;
class QLabel;
class QPushButton;
class QTreeView;

namespace aero {

class frmNavletUp final : public QDialog {
    Q_OBJECT
public:
    // `uploadMap` shows `ctx.upMap`; the window hosts it while it lives and hands it back after.
    frmNavletUp(AppContext& ctx, QWidget* uploadMap, QWidget* parent = nullptr);
    ~frmNavletUp() override;

    WaypointUpload& upload() { return m_upload; }
    UploadListModel& rows() { return m_rows; }

    // Back to the opening state, then the start timer is switched on.
    void start();

    void cmdDone_Click();
    void cmdClear_Click();
    void cmdCancel_Click();
    void lstUpload_Click(int row);

    QGroupBox* fraStatus = nullptr;
    QLabel* lblMI = nullptr;
    QLabel* lblLS = nullptr;
    QGroupBox* fraUpload = nullptr;
    QTreeView* lstUpload = nullptr;
    QPushButton* cmdDone = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void buildLayout(QWidget* uploadMap);
    void receiverAnswered();
    // NavletChars, or fewer when the receiver keeps fewer characters of a name.
    int nameLength();

    AppContext& m_ctx;
    WaypointUpload m_upload;
    UploadListModel m_rows;
    QPointer<QWidget> m_map;
};

} // namespace aero
