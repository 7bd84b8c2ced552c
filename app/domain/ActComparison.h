#pragma once
// The Antenna Comparison Tool's data: two or three survey summaries lined up by MAC address,
// each log's signal, SNR and noise side by side, and a per-log score for every AP.
#include <QtGlobal>

#include <QHash>
#include <QIODevice>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace aero {

struct ActMeasures {
    double snr = 0;      // as written in the summary
    double signal = 0;   // dBm
    double noise = 0;    // dBm
    double latitude = 0;
    double longitude = 0;
};

struct ActRow {
    QString ssid;
    QString mac;
    std::array<std::optional<ActMeasures>, 3> logs;   // empty: that log did not see the AP
    std::array<int, 3> score{};
    // Which log's cell holds the best value of each measure (signal, SNR, noise).
    std::array<std::array<bool, 3>, 3> best{};
};

class ActComparison {
public:
    // Loads summary `device` as log k (1..3). Returns 0, or -1 / -2 when line 1 / line 2 is not
    // a summary's (nothing is loaded then).
    int readLog(QIODevice& device, int k);

    // Every row: each measure's highest value wins a point (ties give it to every tied log);
    // a log that missed the AP counts -200 and so scores 0 unless every log missed it.
    void score();

    // Keeps only the rows seen by every log in `loaded`.
    void keepOnlyInAll(const std::array<bool, 3>& loaded);

    void clear();
    const std::vector<ActRow>& rows() const { return m_rows; }

    // The colour ramp slot for a signal: 50 - |s| / 3 rounded, kept inside the ramp.
    static int rampSlot(double signalDbm);

private:
    std::vector<ActRow> m_rows;
    QHash<QString, int> m_byMac;   // trimmed MAC -> first row
};

} // namespace aero
