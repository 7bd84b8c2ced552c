#pragma once
// The one import of a survey log into the AP table, the way the program and the converter both
// do it, with each format's own rules in one table. A new format is one reader and one row.
#include "domain/APList.h"
#include "domain/TableImport.h"
#include "survey/SurveyFormat.h"

#include <span>

namespace aero::import {

struct SurveyPolicy {
    SurveyFormat format;
    int importEntry;            // its entry under the Import button
    const char* dialogFilter;   // the open-file dialog's filter
    const char* notThisKind;    // the message for a file of another kind
    Repeats repeats;            // Kismet .csv appends every record, repeats included
    bool needsGpsLog;           // Kismet .csv: refused without its .gps beside it
    bool plotted;               // SSIDs made unique and the new APs plotted; else only listed
    SurveyContents (*read)(const QString& path, const ReadProgress& progress);
};

// Every format, in Import entry order.
std::span<const SurveyPolicy> surveyPolicies();
// The row of `format`; nullptr for Unknown.
const SurveyPolicy* surveyPolicy(SurveyFormat format);

// Reads `path` as `format` and appends it to the table under that format's rules. A file that
// cannot be opened gives ReadError with the reason in detail; a Kismet .csv without its GPS log
// gives NoGpsLog, and the table is untouched.
SurveyImport importSurvey(APList& table, SurveyFormat format, const QString& path, const Yield& yield = {});

// The file read as `format` without touching any table (tests, benchmarks).
SurveyContents readSurveyFile(SurveyFormat format, const QString& path, const ReadProgress& progress = {});

} // namespace aero::import
