#pragma once
// Today's survey logs into the AP table, the way the program and the converter both do it.
#include "domain/APList.h"
#include "domain/SurveyContents.h"
#include "survey/SurveyFormat.h"
#include "domain/TableImport.h"

namespace aero::import {

// Reads a WiGLE CSV, a Kismet netxml (with the .gpsxml beside it, if any) or a Kismet log.
// A file that cannot be opened gives ReadError with the reason in detail.
SurveyContents readSurveyFile(SurveyFormat format, const QString& path, const ReadProgress& progress = {});

// Appends the records whose MAC the table does not hold yet (first free slot on; an AP already
// listed, from this file or an earlier one, keeps its slot), then makes SSIDs unique. Records
// written before the table filled up stay.
TableImportResult importSurveyContents(APList& table, const SurveyContents& contents, const Yield& yield = {});

// The program's message for a file of the wrong kind.
QString notSurveyMessage(SurveyFormat format);

} // namespace aero::import
