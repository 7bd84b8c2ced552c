#pragma once
// Survey records into the AP table, exactly as an import of the program does it, without any
// window: the program's import commands and the command-line converter both run these.
#include "domain/APList.h"
#include "domain/AppError.h"
#include "domain/KismetCsvReader.h"
#include "domain/SummaryReader.h"

#include <QIODevice>
#include <functional>
#include <optional>

namespace aero::import {

struct TableImportResult {
    int added = 0;             // records written to the table
    int repeatedMacs = 0;      // sightings dropped because their MAC was already there
    qint64 skippedLines = 0;   // truncated, overlong or wrong-width lines passed over
    qint64 firstSkippedLine = 0;     // 1-based; 0 when none was skipped
    std::optional<AppError> error;   // the import ended early (table full, bad number, read error)

    // Lines were there but not one of them could be read: not a survey of that kind.
    bool nothingRead() const { return added == 0 && repeatedMacs == 0 && skippedLines > 0 && !error; }
    bool tableFull() const { return error && error->code == errors::SubscriptOutOfRange; }
};

using Yield = std::function<void()>;

// A text summary: header check (status), first free slot, MAC de-duplication against the whole
// table, then DedupeSSIDs (also when the table filled up). Records written before an error stay.
struct SummaryImport : TableImportResult {
    SummaryStatus status = SummaryStatus::Ok;
};
SummaryImport importSummary(APList& table, QIODevice& file, const Yield& yield = {});

// A Kismet network log: every record appended (repeats included), no coordinates.
struct KismetImport : TableImportResult {
    KismetStatus status = KismetStatus::Ok;
    QString missingColumn;
};
KismetImport importKismet(APList& table, QIODevice& file, const Yield& yield = {});

// The Kismet GPS log that must lie beside a network log: the name less its last 4 characters
// plus ".gps"; empty when the name is too short.
QString kismetGpsLogPath(const QString& csvPath);

// Messages of the program for the outcomes above.
inline constexpr const char* NotSummaryMessage = "The file selected is not a NetStumbler summary.";
inline constexpr const char* NotKismetMessage = "The file selected is not a Kismet .csv network log.";
inline constexpr const char* NoKismetGpsMessage =
    "A matching Kismet GPS log file could not be found, aborting import.";

} // namespace aero::import
