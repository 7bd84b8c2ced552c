#include "archive/ArchiveStore.h"

#include "archive/GpkgArchive.h"
#include "archive/PgArchive.h"

namespace aero::archive {

bool isServerTarget(const QString& target)
{
    return target.startsWith(QLatin1String("postgresql://")) || target.startsWith(QLatin1String("postgres://"));
}

std::unique_ptr<ArchiveStore> openArchive(const QString& target, QString& error)
{
    if (isServerTarget(target))
        return PgArchive::open(target, error);
    return GpkgArchive::open(target, error);
}

} // namespace aero::archive
