#pragma once
// Any survey log Aeroplotter reads, as archive rows: one per data line of a text summary or a
// Kismet .csv log, one per network (at its strongest located sighting) of the other formats.
#include "archive/ArchiveRows.h"
#include "survey/SurveyFormat.h"

namespace aero::archive {

struct SurveyRows {
    bool refused = false;      // not a readable log of that kind: nothing to archive
    QString message;           // why it was refused, or what was left out
    ArchiveSource source;      // file, hash and format filled in
    std::vector<ObservationRow> rows;
    qint64 skipped = 0;        // unreadable lines passed over
    bool damaged = false;      // cut short: the rows before the damage are kept
};

// Reads `path` whole; Unknown tells the format by content.
SurveyRows readSurveyRows(const QString& path, import::SurveyFormat format = import::SurveyFormat::Unknown);

} // namespace aero::archive
