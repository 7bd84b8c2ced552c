#include "script/RunScript.h"

#include "ui/DoEvents.h"
#include "ui/ToolbarTable.h"
#include "ui/PlotterWindow.h"
#include "survey/SurveyFormat.h"
#include "commands/ImportCommands.h"
#include "map/MapService.h"
#include "domain/ScriptParser.h"
#include "script/ScriptArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace aero {
namespace {

// Script lines are short. A longer one is passed over whole: a cut one could run its tail as
// a command of its own.
constexpr qint64 MaxLineBytes = 64 * 1024;

struct ScriptText {
    QString text;
    bool overlong = false;
};

ScriptText readLine(QFile& file)
{
    QByteArray bytes = file.readLine(MaxLineBytes + 2);   // room for a CR LF
    bool overlong = false;
    if (!bytes.endsWith('\n') && !file.atEnd()) {
        overlong = true;
        for (;;) {
            const QByteArray rest = file.readLine(MaxLineBytes);
            if (rest.isEmpty() || rest.endsWith('\n'))
                break;
        }
    }
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    if (overlong || bytes.size() > MaxLineBytes)
        return {{}, true};
    return {QString::fromUtf8(bytes), false};
}

// Commands that write or read a file named on their line do nothing useful without one.
bool needsPath(ScriptCommand command)
{
    switch (command) {
    case ScriptCommand::Open:
    case ScriptCommand::SaveMap:
    case ScriptCommand::SaveBmp:
    case ScriptCommand::SaveHtml:
    case ScriptCommand::SaveCsv:
    case ScriptCommand::Track: return true;
    default: return false;
    }
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

void menu(AppContext& ctx, MenuEntry entry, const QString& fileName)
{
    ctx.CDG.FileName = fileName;
    ctx.window->tbMain_ButtonMenuClick(entry);
}

// Any of the five survey logs, told apart by content, as the window's drops are; anything else
// is reported.
void importAny(AppContext& ctx, const QString& path, ScriptArchive& archive)
{
    const import::SurveyFormat format = importByContent(ctx, path);
    if (format != import::SurveyFormat::Unknown)
        archive.add(ctx, path, format);
}

// A GPS log lying beside its Kismet network log (.gps, .gpsxml) is read with it, not alone.
bool isGpsCompanion(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(import::SurveyFormatHead).contains("<gps-run");
}

void batch(AppContext& ctx, const QString& folder, ScriptArchive& archive)
{
    if (!fileNamed(ctx, folder, true))
        return;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        DoEvents();
        const QString path = dir.filePath(name);
        // Listed files may be links to FIFOs or devices: only a regular file is opened to look
        // inside; anything else goes on to the import, which refuses and reports it.
        if (!QFileInfo(path).isFile() || !isGpsCompanion(path))
            importAny(ctx, path, archive);
    }
}

// $TRACK: the imports after it place their timed APs without a position by this track. A track
// that cannot be used is reported and none is kept, so no import is placed by a stale one.
void useTrack(AppContext& ctx, const QString& path)
{
    ctx.importTrack.reset();
    if (!fileNamed(ctx, path))
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ctx.dialogs.message(QStringLiteral("The track %1 could not be read.").arg(path), Icon::Critical);
        return;
    }
    track::TrackContents c = track::readTrack(file);
    if (c.status != track::TrackStatus::Ok)
        ctx.dialogs.message(track::trackMessage(c, path), Icon::Exclamation);
    if (!c.track.isEmpty())
        ctx.importTrack = std::move(c.track);
}

// Runs one command line; false when the script must stop reading.
bool runLine(AppContext& ctx, const ScriptLine& line, qint64 number, ScriptOutcome& outcome, ScriptArchive& archive)
{
    if (needsPath(line.command) && line.parameter.isEmpty()) {
        ctx.dialogs.message(QStringLiteral("The $%1 command on line %2 of the script names no file.")
                                .arg(line.word.toUpper())
                                .arg(number),
                            Icon::Exclamation);
        return true;
    }
    switch (line.command) {
    case ScriptCommand::New:
        if (line.parameter != QLatin1String("US") && line.parameter != QLatin1String("EU")) {
            ctx.dialogs.message(QStringLiteral("An invalid parameter has been found in a $NEW command"), Icon::Critical);
            outcome = ScriptOutcome::Stopped;
            return false;
        }
        ctx.window->tbMain_ButtonMenuClick(line.parameter == QLatin1String("US") ? entries::MapNewNorthAmerica : entries::MapNewEurope);
        return true;
    case ScriptCommand::Open:
        if (fileNamed(ctx, line.parameter))
            menu(ctx, entries::MapLoad, line.parameter);
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
        // Without a path the import itself says that no input file was specified.
        if (line.parameter.isEmpty() || fileNamed(ctx, line.parameter)) {
            menu(ctx, entries::ImportSummary, line.parameter);
            if (!line.parameter.isEmpty())
                archive.add(ctx, line.parameter, import::SurveyFormat::NetStumblerSummary);
        }
        return true;
    case ScriptCommand::Batch:
        batch(ctx, line.parameter, archive);
        return true;
    case ScriptCommand::Import:
        if (fileNamed(ctx, line.parameter))
            importAny(ctx, line.parameter, archive);
        return true;
    case ScriptCommand::Archive:
        archive.open(ctx, line.parameter);
        return true;
    case ScriptCommand::Track:
        useTrack(ctx, line.parameter);
        return true;
    case ScriptCommand::SaveMap: menu(ctx, entries::MapSaveAs, line.parameter); return true;
    case ScriptCommand::SaveBmp: menu(ctx, entries::MapSaveImage, line.parameter); return true;
    case ScriptCommand::SaveHtml: menu(ctx, entries::MapSaveHtml, line.parameter); return true;
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
    if (!file.open(QIODevice::ReadOnly) || readLine(file).text != QLatin1String(ScriptHeader)) {
        ctx.dialogs.message(QStringLiteral("The script file header indicates an incompatible scripting version."),
                            Icon::Critical);
        ctx.state.ScriptRunning = false;
        return ScriptOutcome::BadHeader;
    }
    ctx.state.ScriptRunning = true;
    ScriptOutcome outcome = ScriptOutcome::FinishedWithoutEnd;
    qint64 number = 1;
    ScriptArchive archive(QStringLiteral("script ") + QFileInfo(path).fileName());
    while (!file.atEnd()) {
        DoEvents();
        const ScriptText text = readLine(file);
        ++number;
        if (text.overlong) {
            ctx.dialogs.message(QStringLiteral("Line %1 of the script is longer than 64 KiB and was not run.").arg(number),
                                Icon::Exclamation);
            continue;
        }
        if (!runLine(ctx, parseScriptLine(text.text), number, outcome, archive))
            break;
    }
    ctx.state.ScriptRunning = false;
    ctx.importTrack.reset();   // a script's track never places what the user imports later
    return outcome;
}

} // namespace aero
