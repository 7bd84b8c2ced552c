#include "map/OsmExtract.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include "domain/CheckedSave.h"
#include <QStandardPaths>

namespace aero {

QString defaultOsmCacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/osm");
}

QString osmCachePath(const QString& extractPath, const QString& cacheFolder)
{
    // One cache per extract path; its header says which version of the extract it holds.
    const QByteArray id = QCryptographicHash::hash(QFileInfo(extractPath).absoluteFilePath().toUtf8(),
                                                   QCryptographicHash::Sha1).toHex().left(16);
    return cacheFolder + QLatin1Char('/') + QFileInfo(extractPath).completeBaseName().section(QLatin1Char('.'), 0, 0) +
           QLatin1Char('-') + QString::fromLatin1(id) + QStringLiteral(".aosm");
}

namespace {

OsmLoadResult failed(OsmLoadResult::Status status, const QString& error)
{
    OsmLoadResult r;
    r.status = status, r.error = error;
    return r;
}

std::shared_ptr<const OsmData> cached(const QString& cachePath, const QFileInfo& extract)
{
    QFile f(cachePath);
    if (!f.open(QIODevice::ReadOnly))
        return nullptr;
    auto data = std::make_shared<OsmData>();
    if (readOsmCache(f, *data).status != OsmCacheResult::Status::Ok)
        return nullptr;
    if (data->sourceSize != extract.size() || data->sourceModified != extract.lastModified().toMSecsSinceEpoch())
        return nullptr;   // the extract was replaced since
    return data;
}

} // namespace

OsmLoadResult loadOsmExtract(const QString& extractPath, const QString& cacheFolder, const OsmProgress& progress)
{
    using S = OsmLoadResult::Status;
    const QFileInfo extract(extractPath);
    if (!extract.isFile())
        return failed(S::CannotOpen, QStringLiteral("%1 not found").arg(extractPath));
    const QString cachePath = osmCachePath(extractPath, cacheFolder);
    if (auto data = cached(cachePath, extract))
    {
        OsmLoadResult r;
        r.data = std::move(data);
        return r;
    }
    auto data = std::make_shared<OsmData>();
    const OsmReadResult read = readOsmExtract(extractPath, *data, progress);
    switch (read.status) {
    case OsmReadResult::Status::Ok: break;
    case OsmReadResult::Status::CannotOpen: return failed(S::CannotOpen, read.error);
    case OsmReadResult::Status::NotAnExtract: return failed(S::NotAnExtract, read.error);
    case OsmReadResult::Status::Cancelled: return failed(S::Cancelled, read.error);
    }
    OsmLoadResult result;
    result.status = S::Read, result.data = data, result.skipped = read.skipped;
    QDir().mkpath(cacheFolder);
    if (const SaveResult saved = saveChecked(cachePath, [&](QIODevice& out) { return writeOsmCache(*data, out); }); !saved) {
        // The map still shows it; it is just read again next time.
        result.status = S::CacheNotWritten;
        result.error = saved.error;
    }
    return result;
}

} // namespace aero
