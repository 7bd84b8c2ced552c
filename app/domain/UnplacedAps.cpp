#include "domain/UnplacedAps.h"

#include <QStringList>
#include <QUrl>
#include <charconv>
#include <cmath>

namespace aero {

namespace {

QString field(const QString& s)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(s, " :!\"#$&'()*+/;<=>?@[]^`{|}~"));
}

QString floatText(float v)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return QString::fromLatin1(buf, r.ptr - buf);
}

} // namespace

QString encodeUnplacedAp(const AccessPoint& ap)
{
    return QStringList{field(ap.SSID), field(ap.MAC), floatText(ap.Signal), field(ap.Flags), field(ap.WEP), field(ap.Mode)}
        .join(QLatin1Char(','));
}

std::optional<AccessPoint> decodeUnplacedAp(const QString& text)
{
    const QStringList f = text.split(QLatin1Char(','));
    if (f.size() != 6)
        return std::nullopt;
    auto plain = [](const QString& s) { return QUrl::fromPercentEncoding(s.toUtf8()); };
    AccessPoint ap;
    ap.SSID = plain(f[0]);
    ap.MAC = plain(f[1]);
    bool ok = false;
    ap.Signal = f[2].toFloat(&ok);
    ap.Flags = plain(f[3]);
    ap.WEP = plain(f[4]);
    ap.Mode = plain(f[5]);
    if (ap.SSID.isEmpty() || !ok || !std::isfinite(ap.Signal))
        return std::nullopt;
    return ap;
}

} // namespace aero
