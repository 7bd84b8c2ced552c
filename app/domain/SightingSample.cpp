#include "domain/SightingSample.h"

#include <algorithm>

namespace aero {

namespace {
// Heap order: the weakest on top, of equals the latest, so the earliest strongest stays.
template <class R> bool weaker(const R& a, const R& b)
{
    return a.sighting.signal != b.sighting.signal ? a.sighting.signal > b.sighting.signal : a.order < b.order;
}
} // namespace

void SightingSample::add(const Sighting& s)
{
    const Ranked r{s, m_added++};
    if (m_strongest.size() < StrongestKept) {
        m_strongest.push_back(r);
        std::push_heap(m_strongest.begin(), m_strongest.end(), weaker<Ranked>);
        return;
    }
    if (s.signal <= m_strongest.front().sighting.signal) {
        spread(s);
        return;
    }
    std::pop_heap(m_strongest.begin(), m_strongest.end(), weaker<Ranked>);
    const Sighting dropped = m_strongest.back().sighting;
    m_strongest.back() = r;
    std::push_heap(m_strongest.begin(), m_strongest.end(), weaker<Ranked>);
    spread(dropped);
}

// Keeps every stride-th of the others; when full, halves the kept ones and doubles the stride,
// so what stays is spread evenly over the whole log, never just its start.
void SightingSample::spread(const Sighting& s)
{
    if (m_restSeen++ % m_stride != 0)
        return;
    if (m_rest.size() == SpreadKept) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < m_rest.size(); i += 2)
            m_rest[kept++] = m_rest[i];
        m_rest.resize(kept);
        m_stride *= 2;
        if ((m_restSeen - 1) % m_stride != 0)
            return;
    }
    m_rest.push_back(s);
}

std::vector<Sighting> SightingSample::take()
{
    std::sort_heap(m_strongest.begin(), m_strongest.end(), weaker<Ranked>);
    std::vector<Sighting> out;
    out.reserve(m_strongest.size() + m_rest.size());
    for (const Ranked& r : m_strongest)
        out.push_back(r.sighting);
    out.insert(out.end(), m_rest.begin(), m_rest.end());
    *this = SightingSample();
    return out;
}

} // namespace aero
