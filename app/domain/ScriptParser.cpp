#include "domain/ScriptParser.h"

#include <array>
#include <utility>

namespace aero {
namespace {

constexpr std::array<std::pair<const char*, ScriptCommand>, 13> Words{{
    {"NEW", ScriptCommand::New},
    {"OPEN", ScriptCommand::Open},
    {"CLOSE", ScriptCommand::Close},
    {"END", ScriptCommand::End},
    {"PROCESS", ScriptCommand::Process},
    {"BATCH", ScriptCommand::Batch},
    {"SAVEMAP", ScriptCommand::SaveMap},
    {"SAVEBMP", ScriptCommand::SaveBmp},
    {"SAVECSV", ScriptCommand::SaveCsv},
    {"SAVEHTML", ScriptCommand::SaveHtml},
    {"IMPORT", ScriptCommand::Import},
    {"TRACK", ScriptCommand::Track},
    {"ARCHIVE", ScriptCommand::Archive},
}};

QString trimEnd(QString s)
{
    while (!s.isEmpty() && (s.back() == QLatin1Char(' ') || s.back() == QLatin1Char('\r') || s.back() == QLatin1Char('\t')))
        s.chop(1);
    return s;
}

} // namespace

int parameterPosition(ScriptCommand command)
{
    switch (command) {
    case ScriptCommand::New: return 6;
    case ScriptCommand::Open: return 7;
    case ScriptCommand::Batch:
    case ScriptCommand::Track: return 8;
    case ScriptCommand::Import: return 9;
    case ScriptCommand::Process:
    case ScriptCommand::Archive:
    case ScriptCommand::SaveMap:
    case ScriptCommand::SaveBmp:
    case ScriptCommand::SaveCsv: return 10;
    case ScriptCommand::SaveHtml: return 11;
    default: return 0;
    }
}

ScriptLine parseScriptLine(const QString& raw)
{
    ScriptLine out;
    const QString line = raw.endsWith(QLatin1Char('\r')) ? raw.chopped(1) : raw;
    if (line.size() < 3 || !line.startsWith(QLatin1Char('$')))
        return out;
    qsizetype end = 1;
    while (end < line.size() && line[end].isLetter())
        ++end;
    out.word = line.mid(1, end - 1);
    out.command = ScriptCommand::Unknown;
    const QString upper = out.word.toUpper();
    for (const auto& [word, command] : Words)
        if (upper == QLatin1String(word))
            out.command = command;
    const int pos = parameterPosition(out.command);
    if (out.command == ScriptCommand::New)
        out.parameter = line.mid(pos - 1, 2);
    else if (pos > 0)
        out.parameter = trimEnd(line.mid(pos - 1));
    return out;
}

} // namespace aero
