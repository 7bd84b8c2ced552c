#pragma once
// "About Aeroplotter..." and the first-run splash window.
#include <QDialog>
#include <QUrl>

class QLabel;

namespace aero {

// The project's README shipped beside the program (a section anchor may follow).
QUrl readmeUrl(const QString& section = {});

class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
    QLabel* lblWeb = nullptr;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class frmSplash final : public QDialog {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);
    QLabel* lblDonate = nullptr;
    QList<QLabel*> labels;   // the four text labels, top to bottom

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace aero
