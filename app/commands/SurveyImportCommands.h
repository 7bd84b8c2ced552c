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

// Imports `path` with the entry that reads its kind, told apart by content, as if the user had
// picked it in that entry's dialog; anything else is refused with notASurveyMessage. Returns the
// kind found, Unknown when refused.
import::SurveyFormat importByContent(AppContext& ctx, const QString& path);

// The message for a file that is none of the five survey logs.
QString notASurveyMessage(const QString& path);

} // namespace aero
