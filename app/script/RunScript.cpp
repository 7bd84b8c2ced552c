#include "script/RunScript.h"

#include "core/DoEvents.h"
#include "core/ToolbarTable.h"
#include "core/frmPlotter.h"
#include "import/SurveyFormat.h"
#include "import/SurveyImportCommands.h"
#include "map/MapService.h"
#include "script/ScriptParser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace aero {
namespace {

// Script lines are short; a longer one is cut rather than read without bound.
constexpr qint64 MaxLineBytes = 64 * 1024;

QString readLine(QFile& file)
{
    QByteArray bytes = file.readLine(MaxLineBytes);
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    return QString::fromUtf8(bytes);
}

void closeMaps(AppContext& ctx)
{
    if (!ctx.state.MapLoaded)
        return;
    for (MapService* map : {ctx.Mapa, ctx.upMap})
        if (map) {
            map->MarkSaved();
            map->CloseMap();
        }
    ctx.state.MapLoaded = false;
}

bool fileNamed(AppContext& ctx, const QString& path, bool folder = false)
{
    const QFileInfo info(path);
    if (folder ? info.isDir() : info.isFile())
        return true;
    ctx.dialogs.message(QStringLiteral("The %1 %2 named in the script couldn't be found.")
                            .arg(folder ? QStringLiteral("folder") : QStringLiteral("file"), path),
                        Icon::Critical);
    return false;
}

void menu(AppContext& ctx, int button, int entry, const QString& fileName)
{
    ctx.CDG.FileName = fileName;
    ctx.window->tbMain_ButtonMenuClick(button, entry);
}

// Any of the five survey logs, told apart by content; anything else is reported.
void importAny(AppContext& ctx, const QString& path)
{
    const int entry = importEntryFor(import::detectSurveyFile(path));
    if (entry == 0) {
        ctx.dialogs.message(notASurveyMessage(path), Icon::Critical);
        return;
    }
    menu(ctx, buttons::Import, entry, path);
}

// A GPS log lying beside its Kismet network log (.gps, .gpsxml) is read with it, not alone.
bool isGpsCompanion(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(import::SurveyFormatHead).contains("<gps-run");
}

void batch(AppContext& ctx, const QString& folder)
{
    if (!fileNamed(ctx, folder, true))
        return;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        DoEvents();
        const QString path = dir.filePath(name);
        if (!isGpsCompanion(path))
            importAny(ctx, path);
    }
}

// Runs one command line; false when the script must stop reading.
bool runLine(AppContext& ctx, const ScriptLine& line, ScriptOutcome& outcome)
{
    switch (line.command) {
    case ScriptCommand::New:
        if (line.parameter != QLatin1String("US") && line.parameter != QLatin1String("EU")) {
            ctx.dialogs.message(QStringLiteral("An invalid parameter has been found in a $NEW command"), Icon::Critical);
            outcome = ScriptOutcome::Stopped;
            return false;
        }
        ctx.window->tbMain_ButtonMenuClick(buttons::Map, line.parameter == QLatin1String("US") ? 7 : 6);
        return true;
    case ScriptCommand::Open:
        if (fileNamed(ctx, line.parameter))
            menu(ctx, buttons::Map, 1, line.parameter);
        return true;
    case ScriptCommand::Close:
        closeMaps(ctx);
        return true;
    case ScriptCommand::End:
        if (ctx.state.GPSEnabled && ctx.disconnectGps)
            ctx.disconnectGps();
        ctx.state.Exiting = true;
        closeMaps(ctx);
        ctx.window->endNow(true);
        outcome = ScriptOutcome::Ended;
        return false;
    case ScriptCommand::Process:
        if (fileNamed(ctx, line.parameter))
            menu(ctx, buttons::Import, 1, line.parameter);
        return true;
    case ScriptCommand::Batch:
        batch(ctx, line.parameter);
        return true;
    case ScriptCommand::Import:
        if (fileNamed(ctx, line.parameter))
            importAny(ctx, line.parameter);
        return true;
    case ScriptCommand::SaveMap: menu(ctx, buttons::Map, 3, line.parameter); return true;
    case ScriptCommand::SaveBmp: menu(ctx, buttons::Map, 5, line.parameter); return true;
    case ScriptCommand::SaveHtml: menu(ctx, buttons::Map, 4, line.parameter); return true;
    case ScriptCommand::SaveCsv:
        ctx.CDG.FileName = line.parameter;
        ctx.window->tbMain_ButtonClick(QStringLiteral("Save CSV"));
        return true;
    case ScriptCommand::None:
    case ScriptCommand::Unknown:
        return true;
    }
    return true;
}

} // namespace

ScriptOutcome RunScript(AppContext& ctx, const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        ctx.dialogs.message(QStringLiteral("The script file ") + path
                                + QStringLiteral(" couldn't be found, check the file and path and try again."),
                            Icon::Critical);
        return ScriptOutcome::MissingFile;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || readLine(file) != QLatin1String(ScriptHeader)) {
        ctx.dialogs.message(QStringLiteral("The script file header indicates an incompatible scripting version."),
                            Icon::Critical);
        ctx.state.ScriptRunning = false;
        return ScriptOutcome::BadHeader;
    }
    ctx.state.ScriptRunning = true;
    ScriptOutcome outcome = ScriptOutcome::FinishedWithoutEnd;
    while (!file.atEnd()) {
        DoEvents();
        const ScriptLine line = parseScriptLine(readLine(file));
        if (!runLine(ctx, line, outcome))
            break;
    }
    ctx.state.ScriptRunning = false;
    return outcome;
}

} // namespace aero
