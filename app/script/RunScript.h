#pragma once
// Runs a script file by driving the main window's commands, file dialogs skipped.
#include "ui/AppContext.h"

namespace aero {

enum class ScriptOutcome {
    Ended,              // $END ended the program
    FinishedWithoutEnd, // the file ran out; the program goes on
    Stopped,            // a $NEW with a bad parameter stopped it
    MissingFile,
    BadHeader,
};

ScriptOutcome RunScript(AppContext& ctx, const QString& path);

} // namespace aero
