#pragma once
// Survey records into the AP table, exactly as an import of the program does it, without any
// window, and the readers of the two older formats (text summary, Kismet .csv) in the shape
// every reader hands back. The one import of a file, with each format's rules, is
// survey/SurveyTableImport.h; these are its table step and its older readers.
#include "domain/APList.h"
#include "domain/AppError.h"
#include "domain/SurveyContents.h"

#include <QIODevice>
#include <functional>
#include <optional>

namespace aero::import {

// The one result of an import.
struct SurveyImport {
    SurveyStatus status = SurveyStatus::Ok;
    QString detail;                  // the missing column, what stopped the reading, ...
    int added = 0;                   // records written to the table
    int repeatedMacs = 0;            // sightings dropped because their MAC was already there
    qint64 skipped = 0;              // unreadable lines or rows passed over
    qint64 firstSkipped = 0;         // line (database: row) of the first of them; 0 when none
    qint64 otherKinds = 0;           // well-formed records of other kinds (cell, Bluetooth, clients)
    std::optional<AppError> error;   // the import ended early (table full, a bad number, the device failed)
    QString vendorsMissing;          // said once per run: the vendor registry could not be read

    // Not a file of this kind: refused by the reader, or lines were there but not one could be read.
    bool refused() const;
    bool tableFull() const { return error && error->code == errors::SubscriptOutOfRange; }
    // The whole file went in: nothing skipped, nothing cut short.
    bool complete() const { return status == SurveyStatus::Ok && skipped == 0 && !error; }
};

using Yield = std::function<void()>;

// How the records of one file meet the table.
enum class Repeats {
    Dropped,    // a MAC already in the table (from this file or before) is not added again
    Appended,   // every record is added, repeats included (Kismet .csv)
};

// Appends `contents` from the first free slot on, each record with its observation (source file
// `path`, vendor from the MAC), then makes SSIDs unique when `dedupe`. Records written before the
// table filled up stay, and are made unique too.
SurveyImport appendSurvey(APList& table, SurveyContents contents, const QString& path, Repeats repeats, bool dedupe,
                          const Yield& yield = {});

// The older formats read whole. A text summary's time column and $DateGMT header give the
// times, its channel bits the channel; a Kismet .csv gives channel, times and encryption text.
SurveyContents readSummarySurvey(QIODevice& file, const ReadProgress& progress = {});
SurveyContents readKismetCsvSurvey(QIODevice& file, const ReadProgress& progress = {});

// The Kismet GPS log that must lie beside a network log: the name less its last 4 characters
// plus ".gps"; empty when the name is too short.
QString kismetGpsLogPath(const QString& csvPath);

inline constexpr const char* NoKismetGpsMessage = "A matching Kismet GPS log file could not be found, aborting import.";

} // namespace aero::import
