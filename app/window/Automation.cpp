#include "window/Automation.h"

#include <QDBusConnection>
#include <QDBusError>
#include <cstdio>

namespace aero {

Application::Application(bool& scriptInputFlag, QObject* parent) : QObject(parent), m_scriptInput(scriptInputFlag) {}

bool Application::Create(const QString& tmpInString)
{
    m_created = false;
    m_createArgument = tmpInString;
    return false;
}

// Accepted for callers of the interface; this version feeds nothing into the map.
void Application::GPSFix(double, double, double) {}

void Application::NewAPs(qint16, qint16, qint16, qint16) {}

void Application::StartInput() { m_scriptInput = true; }

void Application::StopInput() { m_scriptInput = false; }

bool publishAutomation(Application& app)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "aeroplotter: no D-Bus session bus; automation is not available\n");
        return false;
    }
    if (!bus.registerObject(QStringLiteral("/Application"), &app,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties)
        || !bus.registerService(QStringLiteral("Aeroplotter.Application"))) {
        std::fprintf(stderr, "aeroplotter: automation not published on the session bus: %s\n",
                     qPrintable(bus.lastError().message()));
        return false;
    }
    return true;
}

} // namespace aero
