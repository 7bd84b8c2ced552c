// Keys, recent files and drops: the standard shortcuts (shown in the menus and tool tips), the
// Recent menus of the Map and Import buttons, and maps and survey logs dropped on the window.
#include "window/frmPlotter.h"

#include "commands/MapCommands.h"
#include "commands/ImportCommands.h"
#include "ui/RecentFiles.h"

#include <QAction>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>

namespace aero {
namespace {

bool isMapFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("kml") || suffix == QLatin1String("kmz");
}

QStringList localFiles(const QMimeData* data)
{
    QStringList paths;
    if (data)
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                paths << url.toLocalFile();
    return paths;
}

} // namespace

void frmPlotter::buildShortcuts()
{
    // The drop-down entries carry their keys, so the menus show them; the window holds them too,
    // so they work while the menus are closed.
    const bool europe = m_ctx.settings.value(QStringLiteral("MapName")) == QLatin1String("1");
    const std::pair<MenuEntry, QKeySequence> entryKeys[] = {
        {europe ? entries::MapNewEurope : entries::MapNewNorthAmerica, QKeySequence::New},
        {entries::MapLoad, QKeySequence::Open},
        {entries::MapSave, QKeySequence::Save},
        {entries::MapSaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
    };
    for (const auto& [entry, keys] : entryKeys)
        if (QAction* a = menuAction(entry)) {
            a->setShortcut(keys);
            addAction(a);
        }
    const auto add = [this](const QKeySequence& keys, const QString& name, auto work) {
        auto* a = new QAction(name, this);
        a->setObjectName(name);
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, work);
        addAction(a);
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_I), QStringLiteral("importAny"), [this] { importAnyLog(); });
    // Ctrl+Q spelled out: not every platform's key scheme binds Quit.
    add(QKeySequence(Qt::CTRL | Qt::Key_Q), QStringLiteral("quit"), [this] { tbMain_ButtonClick(QStringLiteral("Exit")); });
    add(QKeySequence(Qt::Key_F1), QStringLiteral("about"), [this] { tbMain_ButtonClick(QStringLiteral("About")); });
    add(QKeySequence::Find, QStringLiteral("find"), [this] {
        m_txtFind->setFocus(Qt::ShortcutFocusReason);
        m_txtFind->selectAll();
    });
    // Zooming goes through the map's own keys, one way for both.
    const auto zoom = [this](Qt::Key key) {
        if (!m_mapa)
            return;
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(m_mapa, &press);
    };
    add(QKeySequence::ZoomIn, QStringLiteral("zoomIn"), [zoom] { zoom(Qt::Key_Plus); });
    add(QKeySequence::ZoomOut, QStringLiteral("zoomOut"), [zoom] { zoom(Qt::Key_Minus); });

    // Recent maps and logs follow the Map and Import entries, whose numbers stay as they are.
    for (const auto& [button, kind, title] : {std::tuple{buttons::Map, recent::Maps, "Recent maps"},
                                              std::tuple{buttons::Import, recent::Logs, "Recent logs"}}) {
        QMenu* menu = toolButton(button)->menu();
        menu->addSeparator();
        QMenu* sub = menu->addMenu(QString::fromLatin1(title));
        sub->setObjectName(QString::fromLatin1(kind));
        connect(menu, &QMenu::aboutToShow, this, [this, sub, kind = kind] { fillRecentMenu(sub, kind); });
        fillRecentMenu(sub, kind);
    }
}

QString frmPlotter::shortcutHint(int index) const
{
    const QToolButton* button = toolButton(index);
    const qsizetype amp = button ? button->text().indexOf(QLatin1Char('&')) : -1;
    QStringList keys;
    if (amp >= 0 && amp + 1 < button->text().size())
        keys << QStringLiteral("Alt+") + button->text().at(amp + 1).toUpper();
    const auto named = [this](const char* name) {
        const auto* a = findChild<QAction*>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
        return a ? a->shortcut().toString(QKeySequence::NativeText) : QString();
    };
    if (index == buttons::Import)
        keys << named("importAny");
    else if (index == buttons::Exit)
        keys << named("quit");
    else if (index == buttons::About)
        keys << named("about");
    return keys.join(QStringLiteral(", "));
}

void frmPlotter::fillRecentMenu(QMenu* menu, const char* kind)
{
    menu->clear();
    const QStringList paths = recent::list(m_ctx.settings, kind);
    const bool maps = kind == recent::Maps;
    for (int i = 0; i < paths.size(); ++i) {
        const QString& path = paths[i];
        // The first nine get a digit as their access key.
        const QString text = (i < 9 ? QStringLiteral("&%1  ").arg(i + 1) : QStringLiteral("    "))
                             + QFileInfo(path).fileName().replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* a = menu->addAction(text);
        a->setToolTip(path);
        a->setStatusTip(path);
        connect(a, &QAction::triggered, this, [this, path, maps] { maps ? openRecentMap(path) : importRecentLog(path); });
    }
    menu->setEnabled(!paths.isEmpty());
}

bool frmPlotter::fileStillThere(const QString& path, const char* kind)
{
    if (QFileInfo(path).isFile())
        return true;
    recent::remove(m_ctx.settings, kind, path);
    m_ctx.dialogs.message(QStringLiteral("%1 is no longer there; it has been taken off the recent list.").arg(path),
                          Icon::Exclamation);
    return false;
}

void frmPlotter::openRecentMap(const QString& path)
{
    if (!fileStillThere(path, recent::Maps))
        return;
    m_ctx.CDG.handedOver = path;
    tbMain_ButtonMenuClick(entries::MapLoad);
    m_ctx.CDG.handedOver.clear();   // a cancelled question leaves none behind
}

void frmPlotter::importRecentLog(const QString& path)
{
    if (fileStillThere(path, recent::Logs))
        importByContent(m_ctx, path);
    refreshTitleAndStatus();
}

bool frmPlotter::mapForImport()
{
    if (m_ctx.state.MapLoaded)
        return true;
    m_ctx.dialogs.message(QStringLiteral("Cannot import data until a map has been loaded."), Icon::Exclamation);
    return false;
}

void frmPlotter::importAnyLog()
{
    if (!mapForImport())
        return;
    const QString path = openFileDialog(
        m_ctx, {QStringLiteral("Survey logs (*.txt *.ns1 *.csv *.netxml *.kismet)|*.txt;*.ns1;*.csv;*.netxml;*.kismet|"
                               "All files (*.*)|*.*"),
                {}, {}});
    if (!path.isEmpty())
        importByContent(m_ctx, path);
    refreshTitleAndStatus();
}

void frmPlotter::openFiles(const QStringList& paths)
{
    if (m_busy)
        return;
    QStringList maps, logs;
    for (const QString& path : paths)
        (isMapFile(path) ? maps : logs) << path;
    if (maps.size() > 1)
        m_ctx.dialogs.message(QStringLiteral("One map is open at a time: %1 is opened, the other %2 maps are left alone.")
                                  .arg(maps.first())
                                  .arg(maps.size() - 1),
                              Icon::Exclamation);
    if (!maps.isEmpty()) {
        m_ctx.CDG.handedOver = maps.first();
        tbMain_ButtonMenuClick(entries::MapLoad);
        const bool cancelled = !m_ctx.CDG.handedOver.isEmpty();   // the changed map was kept
        m_ctx.CDG.handedOver.clear();
        if (cancelled)
            return;
    }
    if (logs.isEmpty())
        return;
    if (!mapForImport())
        return;   // said once for all the logs
    for (const QString& log : logs) {
        importByContent(m_ctx, log);
        if (m_ended)
            return;
    }
    refreshTitleAndStatus();
}

void frmPlotter::dragEnterEvent(QDragEnterEvent* event)
{
    if (!m_busy && !localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmPlotter::dropEvent(QDropEvent* event)
{
    const QStringList paths = localFiles(event->mimeData());
    if (paths.isEmpty() || m_busy)
        return;   // no command starts inside long work
    event->acceptProposedAction();
    // Imports run their own event loop turns: the drop ends first, then the work starts.
    QMetaObject::invokeMethod(this, [this, paths] { openFiles(paths); }, Qt::QueuedConnection);
}

} // namespace aero
