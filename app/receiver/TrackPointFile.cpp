#include "receiver/TrackPointFile.h"

#include <QDir>
#include <QList>
#include <QLocale>
#include <QStandardPaths>
#include <cmath>

namespace aero {
namespace {

const QByteArray TrueText = QByteArrayLiteral("#TRUE#");
const QByteArray FalseText = QByteArrayLiteral("#FALSE#");

// Shortest text that reads back as the same double; "." whatever the locale.
QByteArray exactText(double value)
{
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

std::optional<double> finiteNumber(QByteArrayView text)
{
    bool ok = false;
    const double v = text.toByteArray().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

QString navletPointFile()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("Navlet.tmp"));
}

QByteArray formatPointLine(const TrackPointLine& point)
{
    return QByteArray::number(point.index) + ',' + exactText(point.lat) + ',' + exactText(point.lon) + ','
           + (point.newSegment ? TrueText : FalseText) + "\r\n";
}

std::optional<TrackPointLine> parsePointLine(QByteArrayView line)
{
    while (!line.isEmpty() && (line.back() == '\n' || line.back() == '\r'))
        line.chop(1);
    const QList<QByteArray> fields = line.toByteArray().split(',');
    if (fields.size() != 4)
        return std::nullopt;
    bool ok = false;
    const int index = fields[0].toInt(&ok);
    const auto lat = finiteNumber(fields[1]);
    const auto lon = finiteNumber(fields[2]);
    if (!ok || !lat || !lon || (fields[3] != TrueText && fields[3] != FalseText))
        return std::nullopt;
    return TrackPointLine{index, *lat, *lon, fields[3] == TrueText};
}

} // namespace aero
