#pragma once
// The receiver's behaviour: answers product and protocol requests, serves its track log and
// waypoints on command, accepts waypoint uploads, streams position packets, and plays NMEA
// sentences when the scenario has them. Like a receiver, it keeps one waypoint per name.
#include "Scenario.h"
#include "ReceiverLink.h"

#include "navlet/NavletIds.h"

#include <QObject>
#include <QTextStream>
#include <QTimer>

class SimReceiver : public QObject {
    Q_OBJECT
public:
    SimReceiver(const Scenario& scenario, ReceiverLink& link, const navlet::LinkIds& ids, QTextStream& out,
                QObject* parent = nullptr);

private:
    void onPacket(quint8 id, const QByteArray& data);
    void onCommand(std::uint8_t command);
    void sendProduct();
    void sendTrackLog(std::uint8_t command);
    void sendWaypoints(std::uint8_t command);
    void sendNothing(std::uint8_t command);
    void onUploadedWaypoint(const QByteArray& data);
    void onUploadComplete();
    void saveUploads() const;
    void sendPvt();
    void sendNmea();
    void report(const QJsonObject& event);

    const Scenario& m_scenario;
    ReceiverLink& m_link;
    const navlet::LinkIds& m_ids;
    QTextStream& m_out;
    QTimer m_pvtTimer;
    QTimer m_nmeaTimer;
    int m_nextSentence = 0;
    int m_announced = 0;
    int m_received = 0;
    // What the receiver holds: a waypoint replaces an earlier one of the same name.
    std::vector<navlet::cWaypoint> m_held;
};
