#include "domain/ApSymbolSet.h"

#include <QDir>
#include <QFileInfo>

namespace aero {

int programSymbolIndex(const QString& path)
{
    QString p = QDir::fromNativeSeparators(path);
    // Maps from the original program name the files with backslashes.
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    const QString name = p.mid(slash + 1);
    const QString folder = p.left(std::max<qsizetype>(slash, 0)).section(QLatin1Char('/'), -1);
    if (folder.compare(QLatin1String("Icons"), Qt::CaseInsensitive) != 0)
        return -1;
    for (std::size_t i = 0; i < ApSymbolStyles.size(); ++i)
        if (QString::fromLatin1(ApSymbolStyles[i].file).section(QLatin1Char('/'), -1).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QString portableSymbolPath(const QString& path)
{
    const int i = programSymbolIndex(path);
    return i < 0 ? path : QString::fromLatin1(ApSymbolStyles[std::size_t(i)].file);
}

QString resolveSymbolPath(const QString& stored, const QString& programFolder)
{
    const int i = programSymbolIndex(stored);
    if (i >= 0)
        return QDir(programFolder).filePath(QString::fromLatin1(ApSymbolStyles[std::size_t(i)].file));
    if (QFileInfo(stored).isRelative())
        return QDir(programFolder).filePath(stored);
    return stored;
}

} // namespace aero
