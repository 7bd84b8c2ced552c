#include "domain/SightingSample.h"

#include <algorithm>

namespace aero {

namespace {
bool weaker(const Sighting& a, const Sighting& b) { return a.signal > b.signal; }   // min-heap order
} // namespace

void SightingSample::add(const Sighting& s)
{
    if (m_strongest.size() < StrongestKept) {
        m_strongest.push_back(s);
        std::push_heap(m_strongest.begin(), m_strongest.end(), weaker);
        return;
    }
    if (s.signal <= m_strongest.front().signal) {
        spread(s);
        return;
    }
    std::pop_heap(m_strongest.begin(), m_strongest.end(), weaker);
    const Sighting dropped = m_strongest.back();
    m_strongest.back() = s;
    std::push_heap(m_strongest.begin(), m_strongest.end(), weaker);
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
    std::sort_heap(m_strongest.begin(), m_strongest.end(), weaker);
    std::vector<Sighting> out = std::move(m_strongest);
    out.insert(out.end(), m_rest.begin(), m_rest.end());
    *this = SightingSample();
    return out;
}

} // namespace aero
