#include "ui/RecentFiles.h"

#include <QFileInfo>

namespace aero::recent {
namespace {

const QString Group = QStringLiteral("Recent");
const QChar Separator = QLatin1Char('\n');   // never part of a path the dialogs hand out

} // namespace

QStringList list(const Settings& settings, const char* kind)
{
    return settings.stored(Group, QString::fromLatin1(kind)).split(Separator, Qt::SkipEmptyParts);
}

void add(Settings& settings, const char* kind, const QString& path)
{
    if (path.isEmpty() || path.contains(Separator))
        return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList paths = list(settings, kind);
    paths.removeAll(absolute);
    paths.prepend(absolute);
    settings.store(Group, QString::fromLatin1(kind), paths.mid(0, Kept).join(Separator));
}

void remove(Settings& settings, const char* kind, const QString& path)
{
    QStringList paths = list(settings, kind);
    paths.removeAll(path);
    settings.store(Group, QString::fromLatin1(kind), paths.join(Separator));
}

} // namespace aero::recent
