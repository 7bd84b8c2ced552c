#pragma once
// A bounded sample of an AP's located sightings, built while a log is read: the strongest
// StrongestKept sightings, plus an even sample of at most SpreadKept of the others. So a drive
// that passes an AP a thousand times keeps at most 192 sightings of it, and the sample still
// covers every pass (the strongest alone would cluster at the nearest point of the road).
#include "domain/Observation.h"

#include <vector>

namespace aero {

class SightingSample {
public:
    static constexpr int StrongestKept = 64;
    static constexpr int SpreadKept = 128;
    static constexpr int Cap = StrongestKept + SpreadKept;

    void add(const Sighting& s);
    bool isEmpty() const { return m_strongest.empty(); }
    // The sample: the strongest first (strongest to weakest, equals in reading order, so the
    // first is the one the readers' strongest rule picks), then the rest in reading order.
    std::vector<Sighting> take();

private:
    void spread(const Sighting& s);

    struct Ranked {
        Sighting sighting;
        qint64 order;   // place in the log
    };
    std::vector<Ranked> m_strongest;     // min-heap on signal, at most StrongestKept
    qint64 m_added = 0;
    std::vector<Sighting> m_rest;        // every m_stride-th of the others, in reading order
    qint64 m_restSeen = 0;
    qint64 m_stride = 1;
};

} // namespace aero
