#include "window/frmAbout.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

namespace aero {

QUrl readmeUrl(const QString& section)
{
    const QDir dir(QCoreApplication::applicationDirPath());
    for (const QString& candidate : {dir.filePath(QStringLiteral("README.md")),
                                     dir.filePath(QStringLiteral("../share/aeroplotter/README.md")),
                                     dir.filePath(QStringLiteral("../share/doc/aeroplotter/README.md"))}) {
        if (QFileInfo::exists(candidate)) {
            QUrl url = QUrl::fromLocalFile(QFileInfo(candidate).canonicalFilePath());
            if (!section.isEmpty())
                url.setFragment(section);
            return url;
        }
    }
    return {};
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Aeroplotter..."));
    auto* v = new QVBoxLayout(this);
    auto* title = new QLabel(QStringLiteral("<b>Aeroplotter %1</b><br>Access point maps from wireless survey logs.").arg(QLatin1String(AEROPLOTTER_VERSION)), this);
    auto* visit = new QLabel(QStringLiteral("For more information or updated versions, visit:"), this);
    const QUrl url = readmeUrl();
    lblWeb = new QLabel(this);
    lblWeb->setObjectName(QStringLiteral("lblWeb"));
    lblWeb->setText(url.isValid() ? QStringLiteral("<a href=\"%1\">the Aeroplotter README</a>").arg(url.toString())
                                  : QStringLiteral("the Aeroplotter README"));
    lblWeb->setTextInteractionFlags(Qt::TextBrowserInteraction);
    lblWeb->setOpenExternalLinks(true);
    auto* notice = new QLabel(QStringLiteral("Released under the MIT licence. Map outline: Natural Earth (public domain); "
                                             "places: GeoNames (CC BY 4.0); map tiles: \u00a9 OpenStreetMap contributors."),
                              this);
    notice->setWordWrap(true);
    for (QLabel* l : {title, visit, lblWeb, notice})
        v->addWidget(l);
}

void frmAbout::mousePressEvent(QMouseEvent* event)
{
    QDialog::mousePressEvent(event);
    hide();
}

frmSplash::frmSplash(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Aeroplotter"));
    auto* v = new QVBoxLayout(this);
    const QStringList texts = {
        QStringLiteral("YOU WILL ONLY SEE THIS SCREEN ONCE"),
        QString(),
        QStringLiteral("However, the author would really appreciate your contribution, no matter how small, to the "
                       "continuity of this project, and to ensure updates and bug fixes are performed in reasonable time."),
        QStringLiteral("To support the project, click DONATE below to read how, or click anywhere else to close this window."),
    };
    for (const QString& t : texts) {
        auto* l = new QLabel(t, this);
        l->setWordWrap(true);
        l->installEventFilter(this);
        labels << l;
        v->addWidget(l);
    }
    lblDonate = new QLabel(QStringLiteral("DONATE"), this);
    lblDonate->setObjectName(QStringLiteral("lblDonate"));
    lblDonate->setCursor(Qt::PointingHandCursor);
    lblDonate->setStyleSheet(QStringLiteral("font-weight: bold; color: #0645ad; text-decoration: underline;"));
    lblDonate->installEventFilter(this);
    v->addWidget(lblDonate, 0, Qt::AlignHCenter);
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == lblDonate) {
            QDesktopServices::openUrl(readmeUrl(QStringLiteral("support")));
            return true;   // the window stays open
        }
        if (labels.contains(static_cast<QLabel*>(watched))) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSplash::mousePressEvent(QMouseEvent* event)
{
    QDialog::mousePressEvent(event);
    accept();
}

} // namespace aero
