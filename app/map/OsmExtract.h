#pragma once
// Reading OpenStreetMap extracts (.osm.pbf, the files the usual download sites offer per
// country or region) into OsmData, and keeping the result in a cache file in the per-user
// data folder so the extract is read only once. The extract itself is never changed.
//
//   const OsmLoadResult r = loadOsmExtract(extractPath, cacheFolder, [&](int percent) {
//       bar->setValue(percent);
//       return !cancelled;        // false stops the reading
//   });
//   switch (r.status) { ... }     // r.data holds the features when Ok
//
// Qt Core and libosmium only.
#include "map/OsmData.h"

#include <QString>
#include <functional>
#include <memory>

namespace aero {

// Called now and then with 0..100; returning false cancels.
using OsmProgress = std::function<bool(int percent)>;

struct OsmReadResult {
    enum class Status { Ok, CannotOpen, NotAnExtract, Cancelled };
    Status status = Status::Ok;
    QString error;                  // the reader's own words when not Ok
    qint64 nodes = 0, ways = 0, relations = 0;
    qint64 features = 0;            // kept for the map
    qint64 skipped = 0;             // ways or areas that lacked nodes or did not close
};

// Reads the extract at `path` (PBF, or OSM XML for small files) into `out`.
OsmReadResult readOsmExtract(const QString& path, OsmData& out, const OsmProgress& progress = {});

struct OsmLoadResult {
    enum class Status { FromCache, Read, CannotOpen, NotAnExtract, Cancelled, CacheNotWritten };
    Status status = Status::FromCache;
    QString error;
    std::shared_ptr<const OsmData> data;   // set for FromCache, Read and CacheNotWritten
    qint64 skipped = 0;
    bool ok() const { return data != nullptr; }
};

// The cache file of an extract in `cacheFolder`.
QString osmCachePath(const QString& extractPath, const QString& cacheFolder);
// The cache when it belongs to the extract as it is now, else the extract read and cached.
OsmLoadResult loadOsmExtract(const QString& extractPath, const QString& cacheFolder, const OsmProgress& progress = {});
// The per-user data folder's "osm" folder.
QString defaultOsmCacheFolder();

} // namespace aero
