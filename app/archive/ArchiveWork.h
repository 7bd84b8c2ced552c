#pragma once
// The two jobs every caller of an archive does: a survey log into it, a region of it into the
// AP table. The converter and the script interpreter both run these.
#include "archive/ArchiveStore.h"
#include "domain/APList.h"
#include "survey/SurveyFormat.h"

namespace aero::archive {

struct ArchivedFile {
    bool ok = false;           // all of the file is in the archive (now or before)
    QString message;           // one line for the user
};

// Reads `path` (format by content when Unknown) and stores it in one transaction.
ArchivedFile archiveSurveyFile(ArchiveStore& store, const QString& path, const QString& session = {},
                               import::SurveyFormat format = import::SurveyFormat::Unknown,
                               const ArchiveProgress& progress = {});

struct RegionLoad {
    qint64 inRegion = 0;       // located APs of the archive inside the box
    int added = 0;             // written to the table
    qint64 leftOut = 0;        // did not fit: the table holds APList::Capacity records
    QString error;             // the archive could not be read; nothing was added
};

// The region's APs, strongest first, into the free slots of the table (a MAC the table already
// holds is not added again), then SSIDs made unique as after every import.
RegionLoad loadRegion(ArchiveStore& store, const GeoBox& box, APList& table);

// The table record of an archived AP.
AccessPoint tableRecord(const ArchivedAp& ap);

} // namespace aero::archive
