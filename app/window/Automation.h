#pragma once
// The automation class other programs use to talk to a running Aeroplotter: a D-Bus object
// /Application, service "Aeroplotter.Application", on the session bus.
#include <QObject>
#include <QString>

namespace aero {

class Application final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "Aeroplotter._Application")
    Q_PROPERTY(bool ScriptInput READ scriptInput)
    Q_PROPERTY(bool Created READ created)
    Q_PROPERTY(QString LastCreateArgument READ lastCreateArgument)
public:
    explicit Application(bool& scriptInputFlag, QObject* parent = nullptr);

    bool scriptInput() const { return m_scriptInput; }
    bool created() const { return m_created; }
    QString lastCreateArgument() const { return m_createArgument; }

public Q_SLOTS:
    bool Create(const QString& tmpInString);
    void GPSFix(double Lat, double Lon, double Altitude);
    void NewAPs(qint16 APCount, qint16 FoundBefore, qint16 LostContact, qint16 BestSNR);
    void StartInput();
    void StopInput();

private:
    bool& m_scriptInput;       // process-wide
    bool m_created = true;     // true from creation until Create is called
    QString m_createArgument;
};

// Publishes `app` on the session bus. Returns false (after one line on standard error) when
// there is no session bus or the name is taken; the program runs on without it.
bool publishAutomation(Application& app);

} // namespace aero
