#pragma once
// The fixed table of access points: slots 1..100000, used slots one unbroken run from slot 1.
// MAC and SSID lookups are hash indexes kept in step with the slots, so no per-record step of
// an import is linear in the table size.
#include "domain/AccessPoint.h"
#include "domain/Observation.h"

#include <QHash>
#include <cstdint>
#include <vector>

namespace aero {

class APList {
public:
    static constexpr int Capacity = 100000;

    APList();

    // The next slot to fill; 0 until something fills the table.
    int NextAP = 0;

    const AccessPoint& at(int slot) const;                 // 1-based
    int count() const { return m_used; }                   // length of the used run
    bool isEmpty() const { return m_used == 0; }

    // First slot with an empty SSID; Capacity + 1 when the table is full.
    int findFirstFree() const { return m_used + 1; }

    // Writes `record` into slot NextAP and advances NextAP. Throws AppError when the table is full.
    void append(const AccessPoint& record);
    void append(const AccessPoint& record, Observation observation);

    // What the logs said of a slot beyond its record; the empty observation when nothing.
    const Observation& observation(int slot) const;
    void setObservation(int slot, Observation observation);

    // Is there a slot 1..NextAP whose MAC equals `mac` (exact)? The free slot at NextAP has an
    // empty MAC, so an empty `mac` always matches while the table has room.
    bool containsMac(const QString& mac) const;

    // First used slot whose SSID equals `ssid`, or 0.
    int findBySSID(const QString& ssid) const;

    // Changes fields of a used slot; the indexes follow SSID and MAC changes.
    template <class F> void modify(int slot, F&& change)
    {
        AccessPoint& r = mutableAt(slot);
        const QString oldSsid = r.SSID, oldMac = r.MAC;
        change(r);
        if (r.SSID != oldSsid || r.MAC != oldMac)
            reindex(slot, oldSsid, oldMac);
    }

    // Changes with every change of a record, so a copy kept elsewhere (a spatial index) knows
    // when it is out of date without looking at the records.
    std::uint64_t revision() const { return m_revision; }

    // Resets every used slot to the empty record (NextAP is the caller's business).
    void clear();

    // Makes every SSID unique: later repeats of a name get " 001", " 002", ... in slot order,
    // skipping any suffixed name another slot already holds. Linear in the table size.
    void DedupeSSIDs();

private:
    AccessPoint& mutableAt(int slot);
    void reindex(int slot, const QString& oldSsid, const QString& oldMac);
    void rebuildIndexes();

    std::vector<AccessPoint> m_slots;   // index 0 unused
    std::vector<Observation> m_observations;   // grows with the slots that have one
    int m_used = 0;
    std::uint64_t m_revision = 0;
    QHash<QString, int> m_macCount;     // MAC -> number of used slots holding it
    QHash<QString, int> m_firstSsid;    // SSID -> first used slot holding it
};

} // namespace aero
