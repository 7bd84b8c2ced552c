#include "map/OsmExtractMarks.h"

#include "domain/Settings.h"

#include <QStringList>

namespace aero {

namespace {

const QString LeftOut = QStringLiteral("OsmExtractsLeftOut");
const QString Reading = QStringLiteral("OsmExtractReading");

QStringList leftOut(const Settings& settings) { return settings.value(LeftOut).split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

void setNow(Settings& settings, const QString& key, const QString& value)
{
    settings.setValue(key, value);
    settings.store(QStringLiteral("Config"), key, value);
    settings.sync();
}

} // namespace

bool osmExtractLeftOut(const Settings& settings, const QString& path) { return leftOut(settings).contains(path); }

void leaveOutOsmExtract(Settings& settings, const QString& path)
{
    QStringList paths = leftOut(settings);
    if (!paths.contains(path))
        setNow(settings, LeftOut, (paths << path).join(QLatin1Char('\n')));
}

void takeBackOsmExtract(Settings& settings, const QString& path)
{
    QStringList paths = leftOut(settings);
    if (paths.removeAll(path) > 0)
        setNow(settings, LeftOut, paths.join(QLatin1Char('\n')));
}

void markOsmExtractReading(Settings& settings, const QString& path) { setNow(settings, Reading, path); }

QString osmExtractThatStoppedTheProgram(Settings& settings)
{
    const QString path = settings.value(Reading);
    if (path.isEmpty())
        return {};
    leaveOutOsmExtract(settings, path);
    markOsmExtractReading(settings, {});
    return path;
}

} // namespace aero
