#include "domain/OuiVendors.h"

#include <QFile>

namespace aero {
namespace {

constexpr qsizetype MaxLine = 4096;
constexpr qsizetype MaxVendor = 128;

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The first three octets of a MAC or of a registry assignment ("002272"), or -1.
qint64 prefixOf(QStringView text)
{
    quint32 key = 0;
    int digits = 0;
    for (const QChar c : text) {
        if (digits == 6)
            break;
        if (c == QLatin1Char(':') || c == QLatin1Char('-') || c == QLatin1Char('.'))
            continue;
        const int v = hexValue(c);
        if (v < 0)
            return -1;
        key = key << 4 | static_cast<quint32>(v);
        ++digits;
    }
    return digits == 6 ? static_cast<qint64>(key) : -1;
}

// The fields of one registry line: comma-separated, double quotes around fields holding commas.
QStringList csvFields(QStringView line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"') && i + 1 < line.size() && line[i + 1] == QLatin1Char('"'))
                field += line[++i];
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                field += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

} // namespace

OuiVendors::OuiVendors(const QString& path) : m_path(path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_missing = true;
        return;
    }
    file.readLine(MaxLine);   // the heading
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine(MaxLine)).trimmed();
        const QStringList f = csvFields(line);
        if (f.size() < 3)
            continue;
        const qint64 key = prefixOf(f[1]);
        if (key >= 0 && f[1].size() == 6)
            m_vendors.insert(static_cast<quint32>(key), f[2].trimmed().left(MaxVendor));
    }
    m_missing = m_vendors.isEmpty();
}

const OuiVendors& OuiVendors::shared()
{
    static const OuiVendors registry(QString::fromLatin1(DefaultPath));
    return registry;
}

QString OuiVendors::vendor(QStringView mac) const
{
    const qint64 key = prefixOf(mac.trimmed());
    if (key < 0 || (key & 0x020000) != 0)   // the locally administered bit of the first octet
        return {};
    return m_vendors.value(static_cast<quint32>(key));
}

} // namespace aero
