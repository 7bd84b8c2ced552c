#include "commands/SurveyImportCommands.h"

#include "domain/ImportReport.h"
#include "ui/DoEvents.h"
#include "ui/ErrorReport.h"
#include "ui/PlotterWindow.h"
#include "commands/ImportCommands.h"
#include "survey/SurveyTableImport.h"
#include "commands/Plotter.h"
#include "commands/Placement.h"

#include <QFileInfo>

namespace aero {
namespace {

using import::SurveyContents;
using import::SurveyFormat;
using import::SurveyStatus;

const QString Routine = QStringLiteral("tbMain_ButtonMenuClick");

// What the reader's status means for the import. A switch without a default: a new status is a
// compile warning, never a file silently taken as read.
enum class Verdict { Refused, Unreadable, Read };

Verdict verdict(const SurveyContents& c)
{
    switch (c.status) {
    case SurveyStatus::NotRecognised:
    case SurveyStatus::MissingColumn: return Verdict::Refused;
    case SurveyStatus::ReadError: return c.records.empty() ? Verdict::Unreadable : Verdict::Read;
    case SurveyStatus::Ok:
    case SurveyStatus::Damaged: return Verdict::Read;
    }
    return Verdict::Refused;
}

// What the user is told after the plot when the import was not the whole file.
void reportShortfall(AppContext& ctx, const QString& path, const SurveyContents& c, int added)
{
    if (c.status == SurveyStatus::Damaged || c.status == SurveyStatus::ReadError) {
        ctx.dialogs.message(QStringLiteral("The file is damaged or ends early (%1). The %2 access points read before "
                                           "that point were imported; %3 lines could not be read.")
                                .arg(c.detail)
                                .arg(added)
                                .arg(c.skipped),
                            Icon::Exclamation);
    } else if (c.skipped > 0) {
        ctx.dialogs.message(import::skippedLinesMessage(path, c.skipped, c.firstSkipped)
                                + QStringLiteral(" The %1 access points of the other lines were imported.").arg(added),
                            Icon::Exclamation);
    }
    if (c.otherKinds > 0)
        ctx.dialogs.message(QStringLiteral("%1 records that are not Wi-Fi access points (cell towers, Bluetooth "
                                           "devices, clients, probes) were left out.")
                                .arg(c.otherKinds),
                            Icon::Information);
}

void importSurvey(AppContext& ctx, SurveyFormat format, const QString& filter)
{
    PlotterWindow& w = *ctx.window;
    if (!ctx.state.MapLoaded) {
        ctx.dialogs.message(QStringLiteral("Cannot import data until a map has been loaded."), Icon::Exclamation);
        return;
    }
    if (!chooseInputFile(ctx, filter))
        return;
    w.SetToolbarEnabled(false);
    const bool ok = guarded(ctx.dialogs, Routine, [&] {
        const QString path = ctx.CDG.FileName;
        if (!QFileInfo(path).isFile())
            throw AppError(errors::FileNotFound, QStringLiteral("File not found: ") + path);
        const QString caption = w.fraAPsCaption();
        w.setFraAPsCaption(QStringLiteral("Reading input file."));
        w.setImportAnimation(true);
        const auto yield = [&ctx] { yieldOrStop(ctx); };
        const SurveyContents contents = import::readSurveyFile(format, path, yield);
        if (verdict(contents) == Verdict::Refused) {
            w.setImportAnimation(false);
            w.setFraAPsCaption(caption);
            QString text = import::notSurveyMessage(format);
            if (contents.status == SurveyStatus::MissingColumn)
                text += QStringLiteral(" Its heading has no %1 column.").arg(contents.detail);
            ctx.dialogs.message(text, Icon::Critical);
            return;
        }
        if (verdict(contents) == Verdict::Unreadable)
            throw AppError(errors::FileAccess, QStringLiteral("Could not read ") + path + QStringLiteral(": ") + contents.detail);
        const import::TableImportResult result = import::importSurveyContents(ctx.apList, contents, yield);
        placeImported(ctx);
        refillPanels(ctx);
        if (result.error)
            throw *result.error;
        General_GenerarAPs(ctx, contents.complete());
        reportShortfall(ctx, path, contents, result.added);
    });
    if (!ok && w.importAnimationRunning())
        refillPanels(ctx);   // the records read before the error stay, and the lists show them
    w.SetToolbarEnabled(true);
}

} // namespace

void importWigleCsv(AppContext& ctx)
{
    importSurvey(ctx, SurveyFormat::WigleCsv, QStringLiteral("WiGLE CSV (*.csv)|*.csv|All files (*.*)|*.*"));
}

void importKismetNetxml(AppContext& ctx)
{
    importSurvey(ctx, SurveyFormat::KismetNetxml,
                 QStringLiteral("Kismet netxml (*.netxml)|*.netxml|All files (*.*)|*.*"));
}

void importKismetDb(AppContext& ctx)
{
    importSurvey(ctx, SurveyFormat::KismetDb, QStringLiteral("Kismet log (*.kismet)|*.kismet|All files (*.*)|*.*"));
}

int importEntryFor(SurveyFormat format)
{
    switch (format) {
    case SurveyFormat::NetStumblerSummary: return 1;
    case SurveyFormat::KismetCsv: return 2;
    case SurveyFormat::WigleCsv: return 3;
    case SurveyFormat::KismetNetxml: return 4;
    case SurveyFormat::KismetDb: return 5;
    case SurveyFormat::Unknown: break;
    }
    return 0;
}

QString notASurveyMessage(const QString& path)
{
    return QStringLiteral("The file %1 is not a survey log Aeroplotter can read.").arg(path);
}

} // namespace aero
