#pragma once
// The Import button's entries for today's survey logs (WiGLE CSV, Kismet netxml, Kismet log),
// each run like the text-summary import: map needed, file dialog (a script's file instead),
// the reading caption, MAC de-duplication against the whole table, SSIDs made unique, the
// lists refilled and the new APs plotted.
#include "ui/AppContext.h"
#include "survey/SurveyFormat.h"

namespace aero {

void importWigleCsv(AppContext& ctx);
void importKismetNetxml(AppContext& ctx);
void importKismetDb(AppContext& ctx);

// The Import entry (1-5) that reads `format`; 0 for Unknown.
int importEntryFor(import::SurveyFormat format);

// The message for a file that is none of the five survey logs.
QString notASurveyMessage(const QString& path);

} // namespace aero
