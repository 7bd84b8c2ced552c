#include "domain/ActComparison.h"

#include "domain/SummaryReader.h"

#include <algorithm>
#include <cmath>

namespace aero {

int ActComparison::readLog(QIODevice& device, int k)
{
    const import::SummaryContents contents = import::readSummary(device);
    if (contents.status == import::SummaryStatus::NotSummaryLine1)
        return -1;
    if (contents.status == import::SummaryStatus::NotSummaryLine2)
        return -2;
    const std::size_t log = static_cast<std::size_t>(k - 1);
    for (const import::SummaryRecord& r : contents.records) {
        const ActMeasures m{r.snr, r.signal - import::SummarySignalOffset, r.noise - import::SummarySignalOffset,
                            r.latitude, r.longitude};
        const QString mac = r.ap.MAC.trimmed();
        int row = -1;
        if (k != 1)
            row = m_byMac.value(mac, -1);
        if (row < 0) {
            row = static_cast<int>(m_rows.size());
            m_rows.push_back({r.ap.SSID, r.ap.MAC, {}, {}, {}});
            if (!m_byMac.contains(mac))
                m_byMac.insert(mac, row);
        }
        m_rows[static_cast<std::size_t>(row)].logs[log] = m;
    }
    return 0;
}

void ActComparison::score()
{
    for (ActRow& row : m_rows) {
        row.score = {};
        for (std::size_t m = 0; m < 3; ++m) {
            std::array<double, 3> v{};
            for (std::size_t k = 0; k < 3; ++k) {
                const auto& log = row.logs[k];
                const double value = !log ? 0 : m == 0 ? log->signal : m == 1 ? log->snr : log->noise;
                v[k] = value == 0 ? -200 : value;   // a log that did not see the AP never wins
            }
            for (std::size_t k = 0; k < 3; ++k) {
                row.best[m][k] = v[k] >= v[(k + 1) % 3] && v[k] >= v[(k + 2) % 3];
                if (row.best[m][k])
                    ++row.score[k];
            }
        }
    }
}

void ActComparison::keepOnlyInAll(const std::array<bool, 3>& loaded)
{
    std::erase_if(m_rows, [&](const ActRow& row) {
        for (std::size_t k = 0; k < 3; ++k)
            if (loaded[k] && !row.logs[k])
                return true;
        return false;
    });
    m_byMac.clear();
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i)
        if (!m_byMac.contains(m_rows[static_cast<std::size_t>(i)].mac.trimmed()))
            m_byMac.insert(m_rows[static_cast<std::size_t>(i)].mac.trimmed(), i);
}

void ActComparison::clear()
{
    m_rows.clear();
    m_byMac.clear();
}

int ActComparison::rampSlot(double signalDbm)
{
    const long slot = std::lround(50.0 - std::abs(signalDbm) / 3.0);
    return static_cast<int>(std::clamp<long>(slot, 0, 77));
}

} // namespace aero
