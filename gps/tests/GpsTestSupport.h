#pragma once
// Helpers shared by the control's tests: sentences with correct checksums, readable records in
// failure messages, and recorders that keep every trace and event in the order they came.
#include "GPS.h"
#include "NmeaDecoder.h"

#include <QObject>
#include <QStringList>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace gps {
void PrintTo(const Rmc& rmc, std::ostream* os);
void PrintTo(const Zda& zda, std::ostream* os);
void PrintTo(const Gsa& gsa, std::ostream* os);
void PrintTo(const Gsv& gsv, std::ostream* os);
} // namespace gps

namespace gps_test {

// Path of a built tool: AEROPLOTTER_BIN, else the folder the test program itself runs from.
QString toolPath(const char* name);

// "$" + body + "*" + the two upper-case hex digits of its checksum.
std::string withChecksum(std::string_view body);

// Every output of the pure router, one text per trace or record.
class RecordingSink : public gps::NmeaSink {
public:
    void debugText(std::string_view prefix, std::string_view text) override;
    void onPosicion(const gps::Rmc& rmc) override;
    void onFechaHora(const gps::Zda& zda) override;
    void onSatDOP(const gps::Gsa& gsa) override;
    void onSatelliteStatus(const gps::Gsv& gsv) override;

    std::vector<std::string> log;
    std::vector<gps::Rmc> positions;
    std::vector<gps::Zda> times;
    std::vector<gps::Gsa> dops;
    std::vector<gps::Gsv> satellites;
};

// Every signal of a GPS object, in order, as short texts ("DebugPrint RX=...", "Posicion ...").
class EventRecorder : public QObject {
public:
    explicit EventRecorder(GPS& gps);
    QStringList events;
    QStringList debugTexts() const;
    QStringList dataEvents() const;  // everything but DebugPrint
};

} // namespace gps_test
