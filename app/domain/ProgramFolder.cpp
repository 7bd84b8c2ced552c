#include "domain/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace aero {

QString programFolder()
{
    const QString exeDir = QCoreApplication::applicationDirPath();
    auto holdsData = [](const QString& dir) {
        return QFileInfo::exists(dir + QStringLiteral("/data")) || QFileInfo::exists(dir + QStringLiteral("/Icons"));
    };
    if (holdsData(exeDir))
        return exeDir;
    const QString shared = QDir::cleanPath(exeDir + QStringLiteral("/../share/aeroplotter"));
    return holdsData(shared) ? shared : exeDir;
}

QString programFile(const QString& relative)
{
    return programFolder() + QLatin1Char('/') + relative;
}

} // namespace aero
