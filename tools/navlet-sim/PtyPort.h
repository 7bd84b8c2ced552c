#pragma once
// The simulator's end of a pseudo-terminal. The program under test opens slavePath() as its
// serial device. Output the other side does not read yet is queued (bounded) and written as
// the line drains.
#include "PtyPair.h"

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>

class PtyPort : public QObject {
    Q_OBJECT
public:
    explicit PtyPort(QObject* parent = nullptr);

    bool isValid() const { return m_pair.isValid(); }
    QString slavePath() const { return QString::fromStdString(m_pair.slavePath()); }
    void write(const QByteArray& bytes);

Q_SIGNALS:
    void bytesArrived(const QByteArray& bytes);

private:
    void onReadable();
    void flush();

    aero::PtyPair m_pair;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    QByteArray m_pending;
};
