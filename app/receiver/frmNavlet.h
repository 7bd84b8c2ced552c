#pragma once
// The track download window: one status line while the download runs; it moves to the lower
// right of the main window to draw, then closes itself.
#include "ui/AppContext.h"
#include "receiver/TrackDownload.h"

#include <QDialog>

class QLabel;

namespace aero {

class frmNavlet final : public QDialog {
    Q_OBJECT
public:
    explicit frmNavlet(AppContext& ctx, QWidget* parent = nullptr);

    TrackDownload& download() { return m_download; }
    QString progressText() const;

    // Switches on the start timer; the main window then shows the window.
    void start();

    QLabel* lblProgress = nullptr;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void placeNearMainWindow();

    AppContext& m_ctx;
    TrackDownload m_download;
};

} // namespace aero
