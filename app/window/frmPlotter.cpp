#include "window/frmPlotter.h"

#include "window/PlotterLayout.h"
#include "ui/ToolbarTable.h"

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QVBoxLayout>
#include <QMenu>
#include <QProgressBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

namespace aero {
namespace {

// The desktop's icon theme (scalable, sharp at any scale) where it has the icon, else Qt's own
// pictures, which come in several sizes.
QIcon buttonIcon(const QStyle& style, int index)
{
    struct Pick {
        const char* theme;
        QStyle::StandardPixmap fallback;
    };
    const auto pick = [index]() -> Pick {
        switch (index) {
        case buttons::Import: return {"document-import", QStyle::SP_DialogOpenButton};
        case buttons::Filter: return {"view-filter", QStyle::SP_FileDialogContentsView};
        case buttons::Map: return {"document-open", QStyle::SP_DirHomeIcon};
        case buttons::SaveCsv: return {"document-save", QStyle::SP_DialogSaveButton};
        case buttons::Trash: return {"edit-delete", QStyle::SP_TrashIcon};
        case buttons::View: return {"view-list-details", QStyle::SP_FileDialogDetailedView};
        case buttons::Config: return {"preferences-system", QStyle::SP_FileDialogInfoView};
        case buttons::GPS: return {"network-wireless", QStyle::SP_DriveNetIcon};
        case buttons::ACT: return {"view-statistics", QStyle::SP_FileDialogListView};
        case buttons::Exit: return {"application-exit", QStyle::SP_DialogCloseButton};
        default: return {"help-about", QStyle::SP_MessageBoxInformation};
        }
    }();
    return QIcon::fromTheme(QString::fromLatin1(pick.theme), style.standardIcon(pick.fallback));
}

// Alt+letter for each button: the button's own text with one letter marked.
QString withAccessKey(int index, const QString& key)
{
    switch (index) {
    case buttons::SaveCsv: return QStringLiteral("Save &CSV");
    case buttons::Config: return QStringLiteral("C&onfig");
    case buttons::Exit: return QStringLiteral("E&xit");
    case buttons::About: return QStringLiteral("A&bout");
    default: return QLatin1Char('&') + key;
    }
}

// lstAP as shown: the rows whose text in any column holds the typed text. Sorting stays the
// list model's own, so slots and row order are one fact.
class ShownRows final : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void sort(int column, Qt::SortOrder order) override { sourceModel()->sort(column, order); }
};

QTreeView* makeList(QWidget* parent, QAbstractItemModel& model, const char* name)
{
    auto* view = new QTreeView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setModel(&model);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);   // keeps 100000 rows cheap to lay out
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->header()->setStretchLastSection(true);
    view->header()->resizeSection(0, 24);
    return view;
}

} // namespace

frmPlotter::frmPlotter(AppContext& ctx, QWidget* parent) : QMainWindow(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmPlotter"));
    setWindowTitle(QStringLiteral("Aeroplotter"));
    buildToolbar();
    buildPanels();
    buildStatusLine();
    buildShortcuts();
    setAcceptDrops(true);
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(150);
    connect(&m_refresh, &QTimer::timeout, this, [this] { refreshTitleAndStatus(false); });

    m_tmrImport.setInterval(250);
    connect(&m_tmrImport, &QTimer::timeout, this, &frmPlotter::tmrImport_Timer);
    m_tmrGPS.setInterval(30000);
    connect(&m_tmrGPS, &QTimer::timeout, this, [this] { m_ctx.state.PositionTick = true; });

    resize(MinWidthTwips / TwipsPerPixel, MinHeightTwips / TwipsPerPixel);
}

frmPlotter::~frmPlotter() = default;

void frmPlotter::buildToolbar()
{
    m_tbMain = addToolBar(QStringLiteral("tbMain"));
    m_tbMain->setObjectName(QStringLiteral("tbMain"));
    m_tbMain->setMovable(false);
    m_tbMain->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const ButtonDef& b : toolbarTable()) {
        if (!b.key) {
            if (b.index == 6)
                m_tbMain->addSeparator();
            else
                m_tbMain->addWidget(new QWidget(m_tbMain))->setObjectName(QStringLiteral("placeholder"));
            continue;
        }
        auto* button = new QToolButton(m_tbMain);
        const QString key = QString::fromLatin1(b.key);
        button->setObjectName(key);
        button->setProperty("key", key);
        button->setText(withAccessKey(b.index, key));
        button->setToolTip(QString::fromLatin1(b.toolTip));
        button->installEventFilter(this);   // the tool tip names the keys too
        button->setIcon(buttonIcon(*style(), b.index));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        if (!b.entries.empty()) {
            auto* menu = new QMenu(button);
            for (const MenuEntryDef& e : b.entries) {
                if (!e.text) {
                    menu->addSeparator();
                    continue;
                }
                QAction* a = menu->addAction(QString::fromLatin1(e.text));
                a->setData(QString::fromLatin1(e.text));
                const int button = b.index, entry = e.index;
                connect(a, &QAction::triggered, this, [this, button, entry] { tbMain_ButtonMenuClick(button, entry); });
                m_entries[{b.index, e.index}] = a;
            }
            button->setMenu(menu);
            button->setPopupMode(QToolButton::InstantPopup);
        } else {
            connect(button, &QToolButton::clicked, this, [this, key] { tbMain_ButtonClick(key); });
        }
        m_tbMain->addWidget(button);
        m_buttons[b.index] = button;
    }
}

void frmPlotter::buildPanels()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);

    m_fraMap = new QGroupBox(QStringLiteral("Access Point map: (GPS Disabled)"), central);
    m_fraMap->setObjectName(QStringLiteral("fraMap"));
    m_fraProg = new QGroupBox(QStringLiteral("Drawing map:"), m_fraMap);
    m_fraProg->setObjectName(QStringLiteral("fraProg"));
    m_pbMap = new QProgressBar(m_fraProg);
    m_pbMap->setObjectName(QStringLiteral("pbMap"));
    m_pbMap->setTextVisible(false);
    m_fraProg->hide();
    m_lblGpsNotice = new QLabel(m_fraMap);
    m_lblGpsNotice->setObjectName(QStringLiteral("lblGpsNotice"));
    m_lblGpsNotice->setWordWrap(true);
    m_lblGpsNotice->setMargin(4);
    m_lblGpsNotice->setAutoFillBackground(true);
    m_lblGpsNotice->hide();

    m_fraNav = new QGroupBox(QStringLiteral("Navigation Information:"), central);
    m_fraNav->setObjectName(QStringLiteral("fraNav"));
    m_lblVel = new QLabel(QStringLiteral("Speed: ---"), m_fraNav);
    m_lblHdg = new QLabel(QStringLiteral("Heading: ---"), m_fraNav);
    m_lblAP = new QLabel(QStringLiteral("Nearest AP: -------"), m_fraNav);
    m_lblAPName = new QLabel(QStringLiteral("SSID: -------"), m_fraNav);
    m_lblVel->setObjectName(QStringLiteral("lblVel"));
    m_lblHdg->setObjectName(QStringLiteral("lblHdg"));
    m_lblAP->setObjectName(QStringLiteral("lblAP"));
    m_lblAPName->setObjectName(QStringLiteral("lblAPName"));
    m_lstNearby = new QTreeWidget(m_fraNav);
    m_lstNearby->setObjectName(QStringLiteral("lstNearby"));
    m_lstNearby->setColumnCount(3);
    m_lstNearby->setHeaderLabels({QStringLiteral("Nearby APs"), QStringLiteral("Distance"), QStringLiteral("Bearing")});
    m_lstNearby->setRootIsDecorated(false);
    m_lstNearby->setUniformRowHeights(true);
    m_lstNearby->setSelectionMode(QAbstractItemView::NoSelection);
    m_lstNearby->setFocusPolicy(Qt::NoFocus);
    m_lstNearby->header()->setStretchLastSection(false);
    m_lstNearby->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_lstNearby->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_lstNearby->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_fraNav->hide();

    m_fraAPs = new QGroupBox(QStringLiteral("Logged APs:"), central);
    m_fraAPs->setObjectName(QStringLiteral("fraAPs"));
    m_txtFind = new QLineEdit(m_fraAPs);
    m_txtFind->setObjectName(QStringLiteral("txtFind"));
    m_txtFind->setPlaceholderText(QStringLiteral("Filter the list (Ctrl+F)"));
    m_txtFind->setClearButtonEnabled(true);
    m_splitAPs = new QSplitter(Qt::Vertical, m_fraAPs);
    m_splitAPs->setObjectName(QStringLiteral("splitAPs"));
    m_splitAPs->setChildrenCollapsible(false);
    m_lstAPModel.setTable(&m_ctx.apList);   // the upper list shows and sorts what the logs said
    m_lstAPShown = new ShownRows(this);
    m_lstAPShown->setSourceModel(&m_lstAPModel);
    m_lstAPShown->setFilterKeyColumn(-1);
    m_lstAPShown->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_lstAP = makeList(m_splitAPs, *m_lstAPShown, "lstAP");
    auto* lower = new QWidget(m_splitAPs);
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    lowerLayout->setSpacing(0);
    m_lblNoAPs = new QLabel(QStringLiteral("APs with no GPS coordinates:"), lower);
    m_lblNoAPs->setObjectName(QStringLiteral("lblNoAPs"));
    m_lstNoGps = makeList(lower, m_lstNoGpsModel, "lstNoGps");
    m_lstNoGps->setMinimumHeight(20);   // the split may leave it a row or two
    m_lstAP->setMinimumHeight(20);
    lowerLayout->addWidget(m_lblNoAPs);
    lowerLayout->addWidget(m_lstNoGps);
    m_splitAPs->addWidget(m_lstAP);
    m_splitAPs->addWidget(lower);
    connect(m_splitAPs, &QSplitter::splitterMoved, this, [this] { m_splitterMoved = true; });
    m_lstAP->setSortingEnabled(true);
    m_lstAP->sortByColumn(1, Qt::AscendingOrder);
    connect(m_txtFind, &QLineEdit::textChanged, m_lstAPShown, &QSortFilterProxyModel::setFilterFixedString);

    // The commands work on the list's own rows, whatever the filter shows.
    const auto source = [this](const QModelIndex& i) { return m_lstAPShown->mapToSource(i).row(); };
    connect(m_lstAP, &QTreeView::clicked, this, [this, source](const QModelIndex& i) {
        Q_EMIT lstAPClicked(source(i));
        refreshTitleAndStatus();
    });
    connect(m_lstAP, &QTreeView::doubleClicked, this, [this, source](const QModelIndex& i) {
        Q_EMIT lstAPDoubleClicked(source(i));
        refreshTitleAndStatus();
    });
    connect(m_lstNoGps, &QTreeView::doubleClicked, this,
            [this](const QModelIndex& i) { Q_EMIT lstNoGpsDoubleClicked(i.row()); });
    for (APListModel* model : {&m_lstAPModel, &m_lstNoGpsModel}) {
        connect(model, &QAbstractItemModel::modelReset, this, &frmPlotter::refreshSoon);
        connect(model, &QAbstractItemModel::rowsInserted, this, &frmPlotter::refreshSoon);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &frmPlotter::refreshSoon);
        connect(model, &QAbstractItemModel::dataChanged, this, &frmPlotter::refreshSoon);
    }
    auto* placeByTrack = new QAction(QStringLiteral("Place by track…"), m_lstNoGps);
    placeByTrack->setObjectName(QStringLiteral("actPlaceByTrack"));
    m_lstNoGps->addAction(placeByTrack);
    m_lstNoGps->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(placeByTrack, &QAction::triggered, this, [this] { Q_EMIT lstNoGpsPlaceByTrack(); });
}

void frmPlotter::setMapWidget(QWidget* map)
{
    m_mapa = map;
    map->setParent(m_fraMap);
    map->setObjectName(QStringLiteral("Mapa"));
    map->show();
    map->setMouseTracking(true);
    map->installEventFilter(this);   // the pointer's position for the status line
    m_fraProg->raise();
    m_lblGpsNotice->raise();
    Form_Resize();
}

void frmPlotter::tbMain_ButtonClick(const QString& key)
{
    const auto it = m_buttonCommands.constFind(key);
    if (it != m_buttonCommands.constEnd() && it.value()) {
        it.value()();
        refreshTitleAndStatus();
        return;
    }
    if (key == QLatin1String("Trash"))
        Trash();
    else if (key == QLatin1String("Exit"))
        Exit();
    else if (key == QLatin1String("About"))
        openAbout();
    else if (key == QLatin1String("Config"))
        openConfig();
    else if (key != QLatin1String("Import") && key != QLatin1String("Map") && key != QLatin1String("View")
             && key != QLatin1String("GPS"))
        notAvailable();   // drop-down buttons do nothing on a plain click
    refreshTitleAndStatus();
}

void frmPlotter::tbMain_ButtonMenuClick(int button, int entry)
{
    if (button == buttons::View && entry >= 1 && entry <= 5) {
        viewToggle(entry);
    } else {
        const auto it = m_menuCommands.find({button, entry});
        if (it != m_menuCommands.end() && it->second)
            it->second();
        else
            notAvailable();
    }
    refreshTitleAndStatus();
}

void frmPlotter::notAvailable()
{
    m_ctx.dialogs.message(QStringLiteral("This command is not available in this version of Aeroplotter."),
                          Icon::Information);
}

void frmPlotter::setButtonCommand(const QString& key, Command command) { m_buttonCommands.insert(key, std::move(command)); }

void frmPlotter::setMenuCommand(MenuEntry e, Command command) { m_menuCommands[{e.button, e.entry}] = std::move(command); }

void frmPlotter::SetToolbarEnabled(bool enabled)
{
    m_busy = !enabled;
    // The keys follow the buttons: long work lets events in, and a command must not start inside
    // another. Exit and About stay, as their buttons do.
    for (QAction* a : actions())
        if (a->objectName() != QLatin1String("quit") && a->objectName() != QLatin1String("about"))
            a->setEnabled(enabled);
    for (auto& [index, button] : m_buttons)
        if ((index >= 1 && index <= 5) || (index >= 7 && index <= 10))
            button->setEnabled(enabled);
}

bool frmPlotter::toolbarButtonEnabled(int index) const
{
    const auto it = m_buttons.find(index);
    return it != m_buttons.end() && it->second->isEnabled();
}

QToolButton* frmPlotter::toolButton(int index) const
{
    const auto it = m_buttons.find(index);
    return it == m_buttons.end() ? nullptr : it->second;
}

QAction* frmPlotter::menuAction(MenuEntry e) const
{
    const auto it = m_entries.find({e.button, e.entry});
    return it == m_entries.end() ? nullptr : it->second;
}

QString frmPlotter::menuText(MenuEntry e) const
{
    QAction* a = menuAction(e);
    return a ? a->data().toString() : QString();
}

void frmPlotter::setMenuText(MenuEntry e, const QString& text)
{
    if (QAction* a = menuAction(e)) {
        a->setData(text);
        a->setText(text);
    }
}

void frmPlotter::setMenuHint(MenuEntry e, const QString& hint)
{
    if (QAction* a = menuAction(e))
        a->setText(hint.isEmpty() ? a->data().toString() : a->data().toString() + QLatin1Char('\t') + hint);
}

void frmPlotter::selectLstAPRow(int row)
{
    const QModelIndex source = m_lstAPModel.index(row, 0);
    if (!m_lstAPShown->mapFromSource(source).isValid())
        m_txtFind->clear();   // the row asked for is hidden by the filter: show them all
    const QModelIndex index = m_lstAPShown->mapFromSource(source);
    m_lstAP->setCurrentIndex(index);
    m_lstAP->scrollTo(index);
}

QString frmPlotter::fraAPsCaption() const { return m_fraAPs->title(); }
void frmPlotter::setFraAPsCaption(const QString& text) { m_fraAPs->setTitle(text); }
QString frmPlotter::lblNoAPsCaption() const { return m_lblNoAPs->text(); }
void frmPlotter::setLblNoAPsCaption(const QString& text) { m_lblNoAPs->setText(text); }
QString frmPlotter::fraMapCaption() const { return m_fraMap->title(); }
void frmPlotter::setFraMapCaption(const QString& text) { m_fraMap->setTitle(text); }
QString frmPlotter::fraMapToolTip() const { return m_fraMap->toolTip(); }
void frmPlotter::setFraMapToolTip(const QString& text) { m_fraMap->setToolTip(text); }

void frmPlotter::showProgress(bool visible)
{
    m_fraProg->setVisible(visible);
    if (visible)
        m_fraProg->raise();
}

void frmPlotter::setNavLabels(const QString& vel, const QString& hdg, const QString& ap, const QString& apName)
{
    if (!vel.isNull())
        m_lblVel->setText(vel);
    if (!hdg.isNull())
        m_lblHdg->setText(hdg);
    if (!ap.isNull())
        m_lblAP->setText(ap);
    if (!apName.isNull())
        m_lblAPName->setText(apName);
}

QStringList frmPlotter::navLabels() const
{
    return {m_lblVel->text(), m_lblHdg->text(), m_lblAP->text(), m_lblAPName->text()};
}

void frmPlotter::setGpsLayout(bool gps)
{
    m_fraNav->setVisible(gps);
    Form_Resize();
}

bool frmPlotter::gpsLayout() const { return !m_fraNav->isHidden(); }

void frmPlotter::setGpsNotice(const QString& text, bool alert)
{
    m_lblGpsNotice->setText(text);
    // A calm note for the state of the fix, a strong one for an alert or a lost connection.
    QPalette p = m_lblGpsNotice->palette();
    p.setColor(QPalette::Window, alert ? QColor(0xC6, 0x28, 0x28) : QColor(0xFF, 0xF3, 0xC4));
    p.setColor(QPalette::WindowText, alert ? Qt::white : Qt::black);
    m_lblGpsNotice->setPalette(p);
    m_lblGpsNotice->setVisible(!text.isEmpty());
    m_lblGpsNotice->resize(m_lblGpsNotice->width(), m_lblGpsNotice->heightForWidth(m_lblGpsNotice->width()));
    m_lblGpsNotice->raise();
}

QString frmPlotter::gpsNotice() const { return m_lblGpsNotice->isHidden() ? QString() : m_lblGpsNotice->text(); }

void frmPlotter::setNearbyAps(const QString& heading, const std::vector<NearbyRow>& rows)
{
    m_lstNearby->headerItem()->setText(0, heading);
    m_lstNearby->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const NearbyRow& r : rows) {
        auto* item = new QTreeWidgetItem({r.ssid, r.distance, r.bearing});
        item->setToolTip(0, r.detail);
        if (r.watched) {
            QFont bold = m_lstNearby->font();
            bold.setBold(true);
            for (int c = 0; c < 3; ++c) {
                item->setFont(c, bold);
                item->setForeground(c, QColor(0xC6, 0x28, 0x28));
            }
        }
        items.append(item);
    }
    m_lstNearby->addTopLevelItems(items);
}

void frmPlotter::setHourglass(bool busy)
{
    if (busy)
        setCursor(Qt::WaitCursor);
    else
        unsetCursor();
}

void frmPlotter::setImportAnimation(bool running)
{
    if (running)
        m_tmrImport.start();
    else
        m_tmrImport.stop();
}

void frmPlotter::setPositionTick(bool running)
{
    if (running)
        m_tmrGPS.start();
    else
        m_tmrGPS.stop();
}

void frmPlotter::tmrImport_Timer()
{
    static const QString base = QStringLiteral("Reading input file.");
    const QString caption = fraAPsCaption();
    if (caption.startsWith(base)) {
        const qsizetype dots = caption.size() - base.size() + 1;
        if (dots >= 1 && dots < 5 && caption == base + QString(dots - 1, QLatin1Char('.'))) {
            setFraAPsCaption(caption + QLatin1Char('.'));
            return;
        }
    }
    setFraAPsCaption(base);
}

} // namespace aero
