#include "PortMap.h"

#include <QSettings>
#include <array>

namespace portmap {
namespace {

constexpr std::array<const char*, 8> Defaults = {
    "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyACM1",
    "/dev/ttyS0",   "/dev/ttyS1",   "/dev/ttyS2",   "/dev/ttyS3",
};

QString key(int port) { return QStringLiteral("Ports/COM%1").arg(port); }

QSettings store() { return QSettings(QStringLiteral("Aeroplotter"), QStringLiteral("Aeroplotter")); }

} // namespace

QString defaultDevice(int port)
{
    if (port < FirstPort || port > LastPort)
        return QStringLiteral("COM%1").arg(port);
    return QString::fromLatin1(Defaults[static_cast<std::size_t>(port - 1)]);
}

QString devicePath(int port)
{
    if (port < FirstPort || port > LastPort)
        return defaultDevice(port);
    const QString stored = store().value(key(port)).toString().trimmed();
    return stored.isEmpty() ? defaultDevice(port) : normalizeDevice(stored);
}

void setDevicePath(int port, const QString& device)
{
    if (port < FirstPort || port > LastPort)
        return;
    auto s = store();
    s.setValue(key(port), device.trimmed());
}

QString normalizeDevice(const QString& typed)
{
    const QString t = typed.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char('/')))
        return t;
    return QStringLiteral("/dev/") + t;
}

} // namespace portmap
