#pragma once
// Scripted dialogs for tests: an error report the test did not announce with
// `reportsExpected = true` fails the running test at once, with the report's text.
#include "ui/Dialogs.h"

#include <gtest/gtest.h>

namespace aero::testing {

inline ScriptedDialogs testDialogs()
{
    ScriptedDialogs d;
    d.unexpectedReport = [](const QString& report) {
        ADD_FAILURE() << "Unexpected error report:\n" << report.toStdString();
    };
    return d;
}

} // namespace aero::testing
