#include "commands/ImportCommands.h"

#include "commands/Plotter.h"
#include "domain/ApSymbols.h"
#include "domain/ImportReport.h"
#include "survey/SurveyTableImport.h"
#include "ui/DoEvents.h"
#include "ui/ErrorReport.h"
#include "ui/PlotterWindow.h"
#include "ui/RecentFiles.h"
#include "commands/Placement.h"

#include <QFileInfo>
#include <QProgressBar>

namespace aero {
namespace {

using import::SurveyImport;
using import::SurveyStatus;

const QString Routine = QStringLiteral("tbMain_ButtonMenuClick");

// The file an import reads: the script's, or one the user picks under `filter`. False, having said
// why where there is something to say, when there is nothing to read.
bool chooseInputFile(AppContext& ctx, const QString& filter)
{
    if (!ctx.state.ScriptRunning) {
        const QString chosen = openFileDialog(ctx, {filter, {}, {}});
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

// After a file was read into the table: it joins the recent logs (not under a script) and the
// status line tells how many APs it added.
void importDone(AppContext& ctx, const QString& path, int added)
{
    if (!ctx.state.ScriptRunning)
        recent::add(ctx.settings, recent::Logs, path);
    ctx.window->showResult(QStringLiteral("%1 APs imported from %2").arg(added).arg(QFileInfo(path).fileName()));
}

void refuse(AppContext& ctx, const import::SurveyPolicy& policy, const SurveyImport& result)
{
    if (result.status == SurveyStatus::NoGpsLog) {
        ctx.dialogs.message(result.detail, Icon::Exclamation);
        return;
    }
    QString text = QString::fromLatin1(policy.notThisKind);
    if (result.status == SurveyStatus::MissingColumn && !result.detail.isEmpty())
        text += QStringLiteral(" Its heading has no %1 column.").arg(result.detail);
    ctx.dialogs.message(text, Icon::Critical);
}

// What the user is told when the import was not the whole file: skipped lines in one message (under
// a script on standard error, and the run's exit code says so), a damaged file, records of other kinds.
void reportShortfall(AppContext& ctx, const QString& path, const SurveyImport& r)
{
    if (r.status == SurveyStatus::Damaged || r.status == SurveyStatus::ReadError) {
        ctx.dialogs.message(QStringLiteral("The file is damaged or ends early (%1). The %2 access points read before "
                                           "that point were imported; %3 lines could not be read.")
                                .arg(r.detail)
                                .arg(r.added)
                                .arg(r.skipped),
                            Icon::Exclamation);
    } else if (r.skipped > 0) {
        const QString text = import::skippedLinesMessage(path, r.skipped, r.firstSkipped);
        if (ctx.state.ScriptRunning)
            ctx.dialogs.scriptWarning(text);
        else
            ctx.dialogs.message(text, Icon::Exclamation);
    }
    if (r.otherKinds > 0)
        ctx.dialogs.message(QStringLiteral("%1 records that are not Wi-Fi access points (cell towers, Bluetooth "
                                           "devices, clients, probes) were left out.")
                                .arg(r.otherKinds),
                            Icon::Information);
    if (!r.vendorsMissing.isEmpty())
        ctx.dialogs.message(r.vendorsMissing, Icon::Information);
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

void importSurveyLog(AppContext& ctx, import::SurveyFormat format)
{
    const import::SurveyPolicy* policy = import::surveyPolicy(format);
    if (!policy)
        return;
    PlotterWindow& w = *ctx.window;
    if (!ctx.state.MapLoaded) {
        ctx.dialogs.message(QStringLiteral("Cannot import data until a map has been loaded."), Icon::Exclamation);
        return;
    }
    if (!chooseInputFile(ctx, QString::fromLatin1(policy->dialogFilter)))
        return;
    w.SetToolbarEnabled(false);
    const bool ok = guarded(ctx.dialogs, Routine, [&] {
        const QString path = ctx.CDG.FileName;
        if (!QFileInfo(path).isFile())
            throw AppError(errors::FileNotFound, QStringLiteral("File not found: ") + path);
        const QString caption = w.fraAPsCaption();
        if (policy->plotted) {
            w.setFraAPsCaption(QStringLiteral("Reading input file."));
            w.setImportAnimation(true);
        }
        const SurveyImport result = import::importSurvey(ctx.apList, format, path, [&ctx] { yieldOrStop(ctx); });
        if (result.refused()) {
            w.setImportAnimation(false);
            w.setFraAPsCaption(caption);
            refuse(ctx, *policy, result);
            return;
        }
        if (result.status == SurveyStatus::ReadError && result.added == 0 && result.repeatedMacs == 0)
            throw AppError(errors::FileAccess, QStringLiteral("Could not read ") + path + QStringLiteral(": ") + result.detail);
        // With a track set, the timed APs it places are plotted even where the format lists only.
        const int placed = placeImported(ctx);
        refillPanels(ctx);
        importDone(ctx, path, result.added);
        if (result.error && !result.tableFull())
            throw *result.error;
        if (result.tableFull())   // reported, then what fitted is plotted like any import
            ShowErrorReport(ctx.dialogs, Routine, result.error->code, result.error->description);
        if (policy->plotted || placed > 0)
            General_GenerarAPs(ctx, result.complete());
        reportShortfall(ctx, path, result);
    });
    if (!ok && w.importAnimationRunning())
        refillPanels(ctx);   // the records read before the error stay, and the lists show them
    w.SetToolbarEnabled(true);
}

std::optional<MenuEntry> importEntryFor(import::SurveyFormat format)
{
    if (const import::SurveyPolicy* policy = import::surveyPolicy(format))
        return MenuEntry{buttons::Import, policy->importEntry};
    return std::nullopt;
}

import::SurveyFormat importByContent(AppContext& ctx, const QString& path)
{
    const import::SurveyFormat format = import::detectSurveyFile(path);
    const std::optional<MenuEntry> entry = importEntryFor(format);
    if (!entry) {
        ctx.dialogs.message(notASurveyMessage(path), Icon::Critical);
        return format;
    }
    ctx.CDG.FileName = path;
    if (!ctx.state.ScriptRunning)
        ctx.CDG.handedOver = path;
    ctx.window->tbMain_ButtonMenuClick(*entry);
    ctx.CDG.handedOver.clear();   // an entry that refused before its dialog leaves none behind
    return format;
}

QString notASurveyMessage(const QString& path)
{
    return QStringLiteral("The file %1 is not a survey log Aeroplotter can read.").arg(path);
}

} // namespace aero
