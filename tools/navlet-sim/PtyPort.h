#pragma once
// The simulator's end of a pseudo-terminal. The program under test opens slavePath() as its
// serial device. Output the other side does not read yet is queued (bounded) and written as
// the line drains.
#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

class PtyPort : public QObject {
    Q_OBJECT
public:
    explicit PtyPort(QObject* parent = nullptr);
    ~PtyPort() override;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    void write(const QByteArray& bytes);

Q_SIGNALS:
    void bytesArrived(const QByteArray& bytes);

private:
    void onReadable();
    void flush();

    int m_master = -1;
    int m_slave = -1; // held open so the line never hangs up when the other side reopens it
    QString m_slavePath;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QByteArray m_pending;
};
