#include "import/ImportCommands.h"

#include "core/DoEvents.h"
#include "core/ErrorReport.h"
#include "core/frmPlotter.h"
#include "import/TableImport.h"
#include "map/Plotter.h"

#include <QFile>
#include <QFileInfo>
#include <QProgressBar>

namespace aero {
namespace {

const QString Routine = QStringLiteral("tbMain_ButtonMenuClick");

bool needMap(AppContext& ctx)
{
    if (ctx.state.MapLoaded)
        return true;
    ctx.dialogs.message(QStringLiteral("Cannot import data until a map has been loaded."), Icon::Exclamation);
    return false;
}

// An AP shows the padlock when its flags say encrypted; Kismet records carry no flags, so
// their WEP field decides.
bool listedEncrypted(const AccessPoint& r)
{
    if (r.Flags.isEmpty())
        return r.WEP == QLatin1String("1");
    const QChar c = r.Flags.size() >= 3 ? r.Flags[2] : QChar();
    return c == QLatin1Char('3') || c == QLatin1Char('1');
}

void openOrThrow(QFile& file)
{
    if (!QFileInfo(file.fileName()).isFile())
        throw AppError(errors::FileNotFound, QStringLiteral("File not found: ") + file.fileName());
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(75, QStringLiteral("Could not open ") + file.fileName() + QStringLiteral(": ")
                                                     + file.errorString());
}

} // namespace

void refillPanels(AppContext& ctx)
{
    frmPlotter& w = *ctx.window;
    const APList& table = ctx.apList;
    w.pbMap()->setRange(0, table.NextAP + 1);
    w.pbMap()->setValue(0);
    std::vector<APListModel::Row> placed, unplaced;
    for (int i = 1; i <= table.count(); ++i) {
        const AccessPoint& r = table.at(i);
        APListModel::Row row{r.SSID, listedEncrypted(r) ? APListModel::EncryptedImage : APListModel::OpenImage, false};
        (r.hasBothCoordinates() ? placed : unplaced).push_back(std::move(row));
    }
    w.lstAP().setSortingEnabled(false);
    w.lstAP().setRows(std::move(placed));
    w.lstNoGps().setRows(std::move(unplaced));
    w.tmrImport.stop();
    w.setFraAPsCaption(QStringLiteral("AP List: %1 logged").arg(w.lstAP().count()));
    w.setLblNoAPsCaption(QStringLiteral("APs with no GPS coordinates: %1").arg(w.lstNoGps().count()));
    w.lstAP().setSortingEnabled(true);
}

void importNetStumbler(AppContext& ctx)
{
    frmPlotter& w = *ctx.window;
    if (!needMap(ctx))
        return;
    if (!ctx.state.ScriptRunning) {
        const QString chosen = ctx.dialogs.openFile(
            {QStringLiteral("Netstumbler text summary (*.*)|*.*|NetStumbler log (*.ns1)|*.ns1"), {}, {}});
        if (chosen.isEmpty())
            return;
        ctx.CDG.FileName = chosen;
    }
    if (ctx.apList.NextAP == 0)
        ctx.apList.NextAP = 1;
    if (ctx.CDG.FileName.isEmpty()) {
        ctx.dialogs.message(QStringLiteral("No input file has been specified."), Icon::Exclamation);
        return;
    }
    w.SetToolbarEnabled(false);
    const bool ok = guarded(ctx.dialogs, Routine, [&] {
        QFile file(ctx.CDG.FileName);
        openOrThrow(file);
        const QString caption = w.fraAPsCaption();
        w.setFraAPsCaption(QStringLiteral("Reading input file."));
        w.tmrImport.start();
        const import::SummaryImport result = import::importSummary(ctx.apList, file, [&ctx] { yieldOrStop(ctx); });
        if (result.status == import::SummaryStatus::NotSummaryLine1 || result.status == import::SummaryStatus::NotSummaryLine2) {
            w.tmrImport.stop();
            w.setFraAPsCaption(caption);   // the header is checked before the caption changes
            ctx.dialogs.message(QString::fromLatin1(import::NotSummaryMessage), Icon::Critical);
            return;
        }
        refillPanels(ctx);
        if (result.error)
            throw *result.error;
        file.close();
        General_GenerarAPs(ctx);
    });
    if (!ok && w.tmrImport.isActive())
        refillPanels(ctx);   // the records read before the error stay, and the lists show them
    w.SetToolbarEnabled(true);
}

void importKismet(AppContext& ctx)
{
    frmPlotter& w = *ctx.window;
    if (!needMap(ctx))
        return;
    // A script's $IMPORT hands the file over; the menu entry always asks.
    const QString path = ctx.state.ScriptRunning ? ctx.CDG.FileName
                                                 : ctx.dialogs.openFile({QStringLiteral("Kismet .csv file (*.csv)|*.csv"), {}, {}});
    if (path.isEmpty())
        return;
    ctx.CDG.FileName = path;
    if (ctx.apList.NextAP == 0)
        ctx.apList.NextAP = 1;
    const QString gps = import::kismetGpsLogPath(path);
    if (gps.isEmpty() || !QFileInfo(gps).isFile()) {
        ctx.dialogs.message(QString::fromLatin1(import::NoKismetGpsMessage), Icon::Exclamation);
        return;
    }
    w.SetToolbarEnabled(false);
    guarded(ctx.dialogs, Routine, [&] {
        QFile file(path);
        openOrThrow(file);
        const import::KismetImport result = import::importKismet(ctx.apList, file, [&ctx] { yieldOrStop(ctx); });
        if (result.status == import::KismetStatus::Empty || result.status == import::KismetStatus::BadHeading) {
            ctx.dialogs.message(QString::fromLatin1(import::NotKismetMessage), Icon::Critical);
            return;
        }
        if (result.error)
            throw *result.error;
    });
    w.SetToolbarEnabled(true);
}

} // namespace aero
