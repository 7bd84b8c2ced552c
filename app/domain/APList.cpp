#include "domain/APList.h"
#include "domain/ValidText.h"

#include "domain/AppError.h"


namespace aero {

APList::APList() : m_slots(Capacity + 1) {}

const AccessPoint& APList::at(int slot) const
{
    static const AccessPoint empty;
    if (slot < 1 || slot > Capacity)
        return empty;
    return m_slots[static_cast<std::size_t>(slot)];
}

AccessPoint& APList::mutableAt(int slot)
{
    if (slot < 1 || slot > Capacity)
        throw AppError(errors::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    ++m_revision;
    return m_slots[static_cast<std::size_t>(slot)];
}

void APList::append(const AccessPoint& record)
{
    if (NextAP < 1)
        NextAP = 1;
    if (NextAP > Capacity)
        throw AppError(errors::SubscriptOutOfRange,
                       QStringLiteral("Subscript out of range (the AP table is full at %1 records)").arg(Capacity));
    const int slot = NextAP;
    AccessPoint& r = m_slots[static_cast<std::size_t>(slot)];
    const QString oldSsid = r.SSID, oldMac = r.MAC;
    r = record;
    // Every text entering the table is one every export can write.
    r.SSID = validText(r.SSID);
    r.MAC = validText(r.MAC);
    ++m_revision;
    reindex(slot, oldSsid, oldMac);
    ++NextAP;
}

void APList::append(const AccessPoint& record, Observation observation)
{
    const int slot = NextAP < 1 ? 1 : NextAP;
    append(record);
    setObservation(slot, std::move(observation));
}

const Observation& APList::observation(int slot) const
{
    static const Observation empty;
    if (slot < 1 || static_cast<std::size_t>(slot) >= m_observations.size())
        return empty;
    return m_observations[static_cast<std::size_t>(slot)];
}

void APList::setObservation(int slot, Observation observation)
{
    if (slot < 1 || slot > Capacity)
        throw AppError(errors::SubscriptOutOfRange, QStringLiteral("Subscript out of range"));
    if (static_cast<std::size_t>(slot) >= m_observations.size())
        m_observations.resize(static_cast<std::size_t>(slot) + 1);
    m_observations[static_cast<std::size_t>(slot)] = std::move(observation);
}

bool APList::containsMac(const QString& mac) const
{
    if (mac.isEmpty() && NextAP <= Capacity)
        return true;
    return m_macCount.value(mac) > 0;
}

int APList::findBySSID(const QString& ssid) const
{
    if (ssid.isEmpty())
        return 0;
    return m_firstSsid.value(ssid, 0);
}

void APList::clear()
{
    for (int i = 1; i <= Capacity && !m_slots[static_cast<std::size_t>(i)].SSID.isEmpty(); ++i)
        m_slots[static_cast<std::size_t>(i)] = AccessPoint{};
    // Records written past a hole (never by the program itself) are reset as well.
    for (auto& r : m_slots)
        if (!r.SSID.isEmpty() || !r.MAC.isEmpty())
            r = AccessPoint{};
    m_observations.clear();
    ++m_revision;
    m_used = 0;
    m_macCount.clear();
    m_firstSsid.clear();
}

void APList::reindex(int slot, const QString& oldSsid, const QString& oldMac)
{
    const AccessPoint& r = m_slots[static_cast<std::size_t>(slot)];
    const bool wasUsed = !oldSsid.isEmpty();
    const bool isUsed = !r.SSID.isEmpty();
    if (wasUsed) {
        auto it = m_macCount.find(oldMac);
        if (it != m_macCount.end() && --it.value() == 0)
            m_macCount.erase(it);
    }
    if (isUsed)
        ++m_macCount[r.MAC];
    if (oldSsid != r.SSID) {
        if (wasUsed && m_firstSsid.value(oldSsid) == slot) {
            m_firstSsid.remove(oldSsid);
            for (int i = slot + 1; i <= m_used; ++i)   // rare: only when a first holder is renamed
                if (m_slots[static_cast<std::size_t>(i)].SSID == oldSsid) {
                    m_firstSsid.insert(oldSsid, i);
                    break;
                }
        }
        if (isUsed) {
            auto it = m_firstSsid.find(r.SSID);
            if (it == m_firstSsid.end() || it.value() > slot)
                m_firstSsid.insert(r.SSID, slot);
        }
    }
    if (isUsed && !wasUsed && slot == m_used + 1) {
        ++m_used;
        while (m_used < Capacity && !m_slots[static_cast<std::size_t>(m_used + 1)].SSID.isEmpty())
            ++m_used;
    } else if (!isUsed && wasUsed && slot <= m_used) {
        m_used = slot - 1;   // the run ends at the first free slot
    }
}

void APList::rebuildIndexes()
{
    m_macCount.clear();
    m_firstSsid.clear();
    for (int i = 1; i <= m_used; ++i) {
        const AccessPoint& r = m_slots[static_cast<std::size_t>(i)];
        ++m_macCount[r.MAC];
        m_firstSsid.insert(r.SSID, m_firstSsid.value(r.SSID, i));
    }
}

namespace {

// " 001", " 002", ... " 999", " 1000": the pattern "000" after one blank.
QString suffixed(const QString& name, int k)
{
    char digits[12];
    char* end = digits + sizeof digits;
    char* p = end;
    for (int width = 0; k > 0 || width < 3; ++width, k /= 10)
        *--p = static_cast<char>('0' + k % 10);
    *--p = ' ';
    QString out;
    out.reserve(name.size() + (end - p));
    out.append(name);
    out.append(QLatin1StringView(p, end - p));
    return out;
}

} // namespace

void APList::DedupeSSIDs()
{
    // The SSID index already knows each name's first holder, which keeps its name. A repeat
    // becomes "name 001", "name 002", ..., skipping any name the table holds; names made
    // this way cannot collide with each other (the part before the last blank differs), so
    // checking the index, which takes each new name as it is made, is enough.
    QHash<QString, int> nextSuffix;
    ++m_revision;
    m_firstSsid.reserve(m_used);
    for (int i = 1; i <= m_used; ++i) {
        QString& name = m_slots[static_cast<std::size_t>(i)].SSID;
        if (m_firstSsid.value(name) == i)
            continue;
        int& next = nextSuffix[name];
        int k = std::max(next, 1);
        QString candidate = suffixed(name, k);
        while (m_firstSsid.contains(candidate))
            candidate = suffixed(name, ++k);
        next = k + 1;
        m_firstSsid.insert(candidate, i);
        name = std::move(candidate);
    }
}

} // namespace aero
