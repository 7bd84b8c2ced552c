#pragma once
// The byte stream under the link: a serial port (9600 8N1, no flow control) or any QIODevice
// a test hands in. Every byte that crosses it is traced here through HexDebug.
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSerialPort>
#include <QString>

namespace navlet {

class ByteChannel : public QObject {
    Q_OBJECT
public:
    explicit ByteChannel(QObject* parent = nullptr);

    void setPortNumber(int port) { m_port = port; }
    // An explicit device path wins over the port number's mapping.
    void setDevicePath(const QString& path) { m_devicePath = path; }
    QString devicePath() const { return m_devicePath; }
    // Uses `device` (not owned) instead of the serial port.
    void setDevice(QIODevice* device);

    bool open();
    void close();
    bool isOpen() const;
    void clearInput();
    void write(const QByteArray& wire);
    void traceIncoming(const QByteArray& packet);

Q_SIGNALS:
    void bytesArrived(const QByteArray& bytes);
    void HexDebug(const QString& dbgText);

private:
    QIODevice* device() const;
    void onReadyRead();
    void onSerialError(QSerialPort::SerialPortError error);
    bool openSerial();

    QSerialPort* m_serial;
    QPointer<QIODevice> m_external;
    int m_port = 1;
    QString m_devicePath;
};

} // namespace navlet
