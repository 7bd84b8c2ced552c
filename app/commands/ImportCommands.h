#pragma once
// The Import button's entries, one command for every survey format: map needed, file dialog (a
// script's file instead), the reading caption, the file into the table under its format's rules,
// the lists refilled and the new APs plotted (a Kismet .csv is only listed).
#include "ui/AppContext.h"
#include "ui/ToolbarTable.h"
#include "survey/SurveyFormat.h"

namespace aero {

void importSurveyLog(AppContext& ctx, import::SurveyFormat format);

// The Import entry that reads `format`; std::nullopt for Unknown.
std::optional<MenuEntry> importEntryFor(import::SurveyFormat format);

// The message for a file that is none of the survey logs.
QString notASurveyMessage(const QString& path);

// Refills lstAP and lstNoGps from the whole table and sets their captions.
void refillPanels(AppContext& ctx);

} // namespace aero
