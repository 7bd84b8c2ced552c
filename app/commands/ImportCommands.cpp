#include "commands/ImportCommands.h"

#include "ui/DoEvents.h"
#include "ui/ErrorReport.h"
#include "ui/PlotterWindow.h"
#include "domain/ApSymbols.h"
#include "domain/ImportReport.h"
#include "domain/TableImport.h"
#include "commands/Plotter.h"
#include "commands/Placement.h"

#include <QFile>
#include <QFileInfo>
#include <QProgressBar>

namespace aero {
namespace {

// Whether the reader refused the file as not being of its kind. Switches without a default: a
// new status is a compile warning, never a file silently taken as read.
bool refused(import::SummaryStatus status)
{
    switch (status) {
    case import::SummaryStatus::NotSummaryLine1:
    case import::SummaryStatus::NotSummaryLine2: return true;
    case import::SummaryStatus::Ok:
    case import::SummaryStatus::ReadError: return false;
    }
    return true;
}

bool refused(import::KismetStatus status)
{
    switch (status) {
    case import::KismetStatus::Empty:
    case import::KismetStatus::BadHeading: return true;
    case import::KismetStatus::Ok:
    case import::KismetStatus::BadNumber:
    case import::KismetStatus::ReadError: return false;
    }
    return true;
}

const QString Routine = QStringLiteral("tbMain_ButtonMenuClick");

bool needMap(AppContext& ctx)
{
    if (ctx.state.MapLoaded)
        return true;
    ctx.dialogs.message(QStringLiteral("Cannot import data until a map has been loaded."), Icon::Exclamation);
    return false;
}


void openOrThrow(QFile& file)
{
    if (!QFileInfo(file.fileName()).isFile())
        throw AppError(errors::FileNotFound, QStringLiteral("File not found: ") + file.fileName());
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(errors::FileAccess, QStringLiteral("Could not open ") + file.fileName() + QStringLiteral(": ")
                                                     + file.errorString());
}

} // namespace

void refillPanels(AppContext& ctx)
{
    PlotterWindow& w = *ctx.window;
    const APList& table = ctx.apList;
    w.pbMap()->setRange(0, table.NextAP + 1);
    w.pbMap()->setValue(0);
    std::vector<APListModel::Row> placed, unplaced;
    for (int i = 1; i <= table.count(); ++i) {
        const AccessPoint& r = table.at(i);
        APListModel::Row row{r.SSID, listedEncrypted(r) ? APListModel::EncryptedImage : APListModel::OpenImage, false, i};
        (r.hasBothCoordinates() ? placed : unplaced).push_back(std::move(row));
    }
    w.lstAP().setSortingEnabled(false);
    w.lstAP().setRows(std::move(placed));
    w.lstNoGps().setRows(std::move(unplaced));
    w.setImportAnimation(false);
    w.setFraAPsCaption(QStringLiteral("AP List: %1 logged").arg(w.lstAP().count()));
    w.setLblNoAPsCaption(QStringLiteral("APs with no GPS coordinates: %1").arg(w.lstNoGps().count()));
    w.lstAP().setSortingEnabled(true);
}

bool chooseInputFile(AppContext& ctx, const QString& filter)
{
    if (!ctx.state.ScriptRunning) {
        const QString chosen = ctx.dialogs.openFile({filter, {}, {}});
        if (chosen.isEmpty())
            return false;
        ctx.CDG.FileName = chosen;
    }
    if (ctx.apList.NextAP == 0)
        ctx.apList.NextAP = 1;
    if (ctx.CDG.FileName.isEmpty()) {
        ctx.dialogs.message(QStringLiteral("No input file has been specified."), Icon::Exclamation);
        return false;
    }
    return true;
}

ImportOutcome reportImport(AppContext& ctx, const QString& path, const import::TableImportResult& result,
                           const QString& notThisKind)
{
    if (result.nothingRead()) {
        ctx.dialogs.message(notThisKind, Icon::Critical);
        return ImportOutcome::Refused;
    }
    if (result.skippedLines == 0)
        return ImportOutcome::Clean;
    const QString text = import::skippedLinesMessage(path, result.skippedLines, result.firstSkippedLine);
    if (ctx.state.ScriptRunning)
        ctx.dialogs.scriptWarning(text);
    else
        ctx.dialogs.message(text, Icon::Exclamation);
    return ImportOutcome::LinesSkipped;
}

void importNetStumbler(AppContext& ctx)
{
    PlotterWindow& w = *ctx.window;
    if (!needMap(ctx))
        return;
    if (!chooseInputFile(ctx, QStringLiteral("Netstumbler text summary (*.*)|*.*|NetStumbler log (*.ns1)|*.ns1")))
        return;
    w.SetToolbarEnabled(false);
    const bool ok = guarded(ctx.dialogs, Routine, [&] {
        QFile file(ctx.CDG.FileName);
        openOrThrow(file);
        const QString caption = w.fraAPsCaption();
        w.setFraAPsCaption(QStringLiteral("Reading input file."));
        w.setImportAnimation(true);
        const import::SummaryImport result = import::importSummary(ctx.apList, file, [&ctx] { yieldOrStop(ctx); });
        const QString notSummary = QString::fromLatin1(import::NotSummaryMessage);
        if (refused(result.status)) {
            w.setImportAnimation(false);
            w.setFraAPsCaption(caption);   // the header is checked before the caption changes
            ctx.dialogs.message(notSummary, Icon::Critical);
            return;
        }
        if (result.nothingRead()) {
            w.setImportAnimation(false);
            w.setFraAPsCaption(caption);
        }
        const ImportOutcome outcome = reportImport(ctx, ctx.CDG.FileName, result, notSummary);
        if (outcome == ImportOutcome::Refused)
            return;
        placeImported(ctx);
        refillPanels(ctx);
        if (result.error && !result.tableFull())
            throw *result.error;
        file.close();
        if (result.tableFull())   // reported, then what fitted is plotted like any import
            ShowErrorReport(ctx.dialogs, Routine, result.error->code, result.error->description);
        General_GenerarAPs(ctx, outcome == ImportOutcome::Clean && !result.error);
    });
    if (!ok && w.importAnimationRunning())
        refillPanels(ctx);   // the records read before the error stay, and the lists show them
    w.SetToolbarEnabled(true);
}

void importKismet(AppContext& ctx)
{
    PlotterWindow& w = *ctx.window;
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
        const QString notKismet = QString::fromLatin1(import::NotKismetMessage);
        if (refused(result.status)) {
            ctx.dialogs.message(notKismet, Icon::Critical);
            return;
        }
        if (reportImport(ctx, path, result, notKismet) == ImportOutcome::Refused)
            return;
        // Listed at once, without coordinates and without the de-duplication a summary does;
        // with a track set, those it places are plotted.
        const int placed = placeImported(ctx);
        refillPanels(ctx);
        if (result.error)
            throw *result.error;
        if (placed > 0)
            General_GenerarAPs(ctx, false);
    });
    w.SetToolbarEnabled(true);
}

} // namespace aero
