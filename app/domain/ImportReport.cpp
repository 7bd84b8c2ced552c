#include "domain/ImportReport.h"

namespace aero::import {

QString skippedLinesMessage(const QString& path, qint64 count, qint64 firstLine)
{
    if (count == 1)
        return QStringLiteral("1 line of %1 could not be read and was skipped: line %2.").arg(path).arg(firstLine);
    return QStringLiteral("%1 lines of %2 could not be read and were skipped; the first is line %3.")
        .arg(count)
        .arg(path)
        .arg(firstLine);
}

} // namespace aero::import
