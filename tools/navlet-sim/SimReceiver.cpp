#include "SimReceiver.h"

#include "navlet/RecordFormats.h"
#include "navlet/RecordJson.h"
#include "navlet/StatusRecords.h"

#include <QJsonArray>
#include <algorithm>
#include <QJsonDocument>
#include <QSaveFile>

using namespace navlet;

SimReceiver::SimReceiver(const Scenario& scenario, ReceiverLink& link, const LinkIds& ids, QTextStream& out,
                         QObject* parent)
    : QObject(parent)
    , m_scenario(scenario)
    , m_link(link)
    , m_ids(ids)
    , m_out(out)
{
    connect(&m_link, &ReceiverLink::packetReceived, this, &SimReceiver::onPacket);
    m_pvtTimer.setInterval(1000);
    connect(&m_pvtTimer, &QTimer::timeout, this, &SimReceiver::sendPvt);
    m_nmeaTimer.setInterval(scenario.nmeaIntervalMs);
    connect(&m_nmeaTimer, &QTimer::timeout, this, &SimReceiver::sendNmea);
    if (!scenario.nmeaSentences.isEmpty())
        m_nmeaTimer.start();
}

void SimReceiver::report(const QJsonObject& event)
{
    m_out << QJsonDocument(event).toJson(QJsonDocument::Compact) << '\n';
    m_out.flush();
}

void SimReceiver::onPacket(quint8 id, const QByteArray& data)
{
    if (id == m_ids.PID_Product_Rqst) {
        sendProduct();
    } else if (id == m_ids.PID_Protocol_Array) {
        m_link.sendData(m_ids.PID_Protocol_Array, encodeProtocolArray(m_scenario.protocolEntries()));
    } else if (id == m_ids.PID_Command_Data && data.size() >= 1) {
        onCommand(static_cast<std::uint8_t>(data.at(0)));
    } else if (id == m_ids.PID_Records) {
        m_announced = decodeRecordsCount(bytesOf(data)).value_or(0);
        m_received = 0;
    } else if (id == m_ids.PID_Wpt_Data || id == m_ids.PID_Rte_Wpt_Data) {
        onUploadedWaypoint(data);
    } else if (id == m_ids.PID_Xfer_Cmplt) {
        onUploadComplete();
    }
}

void SimReceiver::onCommand(std::uint8_t command)
{
    if (command == m_ids.CMND_Transfer_Trk) {
        sendTrackLog(command);
    } else if (command == m_ids.CMND_Transfer_Wpt) {
        sendWaypoints(command);
    } else if (command == m_ids.CMND_Transfer_Rte || command == m_ids.CMND_Transfer_Prx
               || command == m_ids.CMND_Transfer_Alm || command == m_ids.CMND_Transfer_Posn) {
        sendNothing(command);
    } else if (command == m_ids.CMND_Transfer_Time) {
        m_link.sendData(m_ids.PID_Date_Time, encodeDateTime(m_scenario.dateTime));
    } else if (command == m_ids.CMND_Start_Pvt_Data) {
        m_pvtTimer.start();
    } else if (command == m_ids.CMND_Stop_Pvt_Data) {
        m_pvtTimer.stop();
    } else if (command == m_ids.CMND_Reset_Transfer) {
        m_link.clearQueue();
    } else if (command == m_ids.CMND_Turn_Off_Pwr) {
        report({{"event", "powerOff"}});
        m_link.goSilent();
    }
}

void SimReceiver::sendProduct()
{
    m_link.sendData(m_ids.PID_Product_Data, encodeProductData(m_scenario.product));
    if (m_scenario.sendProtocolArray)
        m_link.sendData(m_ids.PID_Protocol_Array, encodeProtocolArray(m_scenario.protocolEntries()));
}

void SimReceiver::sendTrackLog(std::uint8_t command)
{
    const QString format = m_scenario.trackPointFormat();
    // A301/A302 logs send a header before each track; the record count includes them.
    const QString headerFormat = m_scenario.trackHeaderFormat();
    std::vector<std::pair<std::uint8_t, QByteArray>> records;
    int track = 0;
    for (const cTrack& t : m_scenario.trackPoints) {
        if (!headerFormat.isEmpty() && (t.New_Segment || records.empty())) {
            cTrack header;
            header.Ident = QStringLiteral("%1").arg(++track);
            header.Dspl = true;
            header.Color = 255;
            records.emplace_back(m_ids.PID_Trk_Hdr, *encodeTrack(headerFormat, header));
        }
        records.emplace_back(m_ids.PID_Trk_Data, *encodeTrack(format, t));
    }
    m_link.sendData(m_ids.PID_Records, encodeRecordsCount(static_cast<qint16>(records.size())));
    for (const auto& [id, data] : records)
        m_link.sendData(id, data);
    m_link.sendData(m_ids.PID_Xfer_Cmplt, encodeRecordsCount(command));
}

void SimReceiver::sendWaypoints(std::uint8_t command)
{
    const auto format = m_scenario.waypointFormat();
    m_link.sendData(m_ids.PID_Records, encodeRecordsCount(static_cast<qint16>(m_scenario.waypoints.size())));
    for (const cWaypoint& w : m_scenario.waypoints)
        if (const auto data = encodeWaypoint(format, w))
            m_link.sendData(m_ids.PID_Wpt_Data, *data);
    m_link.sendData(m_ids.PID_Xfer_Cmplt, encodeRecordsCount(command));
}

void SimReceiver::sendNothing(std::uint8_t command)
{
    m_link.sendData(m_ids.PID_Records, encodeRecordsCount(0));
    m_link.sendData(m_ids.PID_Xfer_Cmplt, encodeRecordsCount(command));
}

void SimReceiver::onUploadedWaypoint(const QByteArray& data)
{
    const WaypointFormat* f = findFormat(waypointFormats(), m_scenario.waypointFormat());
    const auto w = f ? f->decode(bytesOf(data), cWaypoint{}, nullptr) : std::nullopt;
    if (!w) {
        report({{"event", "badWaypoint"}, {"bytes", QString::fromLatin1(data.toHex())}});
        return;
    }
    ++m_received;
    const auto same = std::find_if(m_held.begin(), m_held.end(), [&](const cWaypoint& held) {
        return held.Ident.trimmed().compare(w->Ident.trimmed(), Qt::CaseInsensitive) == 0;
    });
    if (same != m_held.end())
        *same = *w;
    else
        m_held.push_back(*w);
    report({{"event", "waypoint"}, {"waypoint", toJson(*w)}});
    saveUploads();
}

void SimReceiver::onUploadComplete()
{
    report({{"event", "uploadComplete"}, {"announced", m_announced}, {"received", m_received},
            {"held", static_cast<int>(m_held.size())}});
    saveUploads();
}

void SimReceiver::saveUploads() const
{
    if (m_scenario.savePath.isEmpty())
        return;
    QJsonArray all;
    for (const cWaypoint& w : m_held)
        all.append(toJson(w));
    QSaveFile file(m_scenario.savePath);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(all).toJson());
        file.commit();
    }
}

void SimReceiver::sendPvt()
{
    m_link.sendStreamed(m_ids.PID_Pvt_Data, encodePvt(m_scenario.pvt));
}

void SimReceiver::sendNmea()
{
    if (m_scenario.nmeaSentences.isEmpty())
        return;
    const QString s = m_scenario.nmeaSentences.at(m_nextSentence);
    m_nextSentence = (m_nextSentence + 1) % m_scenario.nmeaSentences.size();
    m_link.sendText(s.toLatin1() + "\r\n");
}
