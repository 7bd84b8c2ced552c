#pragma once
// Script files: a header line, then command lines "$WORD parameter". Pure text handling.
#include <QString>

namespace aero {

inline constexpr const char* ScriptHeader = "AEROPLOTTER SCRIPT FILE V1.0";

enum class ScriptCommand { None, Unknown, New, Open, Close, End, Process, Batch, SaveMap, SaveBmp, SaveCsv, SaveHtml,
                           Import, Track, Archive };

struct ScriptLine {
    ScriptCommand command = ScriptCommand::None;
    QString word;        // the command word as written
    QString parameter;   // taken by position; trailing blanks and CR removed for paths
};

// A line is a command when it starts with "$" and has at least 3 characters. The command is the
// one word of letters right after the "$", in any case; words inside a path are never commands.
ScriptLine parseScriptLine(const QString& line);

// 1-based position where each command's parameter starts.
int parameterPosition(ScriptCommand command);

} // namespace aero
