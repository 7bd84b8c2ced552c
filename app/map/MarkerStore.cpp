#include "map/MarkerStore.h"

#include "domain/AppError.h"

#include <algorithm>

namespace aero {

MarkerId MarkerStore::add(const Location& where, const QString& name)
{
    Marker m;
    m.id = m_nextId++;
    m.name = name;
    m.where = where;
    m.world = QPointF(geo::worldX(where.lon), geo::worldY(where.lat));
    m_markers.push_back(std::move(m));
    m_position.resize(std::size_t(m_nextId), 0);
    m_position[m_markers.back().id] = std::uint32_t(m_markers.size());
    linkName(m_markers.back());
    ++m_live;
    touch(m_markers.size() - 1);
    return m_markers.back().id;
}

void MarkerStore::remove(MarkerId id)
{
    const std::size_t p = positionOf(id);
    if (p == npos)
        return;
    Marker& m = m_markers[p];
    unlinkName(m);
    m.alive = false;
    m_position[id] = 0;
    --m_live;
    ++m_dead;
    if (m_dead > 256 && m_dead > m_live)
        compact();
}

void MarkerStore::clear()
{
    m_markers.clear();
    m_position.assign(m_position.size(), 0);
    m_names.clear();
    m_live = m_dead = 0;
    m_tree.clear();
    m_pending.clear();
    m_treeValid = false;
}

std::size_t MarkerStore::positionOf(MarkerId id) const
{
    if (id == 0 || id >= m_position.size() || m_position[id] == 0)
        return npos;
    return m_position[id] - 1;
}

const Marker* MarkerStore::find(MarkerId id) const
{
    const std::size_t p = positionOf(id);
    return p == npos ? nullptr : &m_markers[p];
}

Marker* MarkerStore::find(MarkerId id)
{
    const std::size_t p = positionOf(id);
    return p == npos ? nullptr : &m_markers[p];
}

void MarkerStore::move(MarkerId id, const Location& where)
{
    const std::size_t p = positionOf(id);
    if (p == npos)
        return;
    m_markers[p].where = where;
    m_markers[p].world = QPointF(geo::worldX(where.lon), geo::worldY(where.lat));
    touch(p);
}

std::optional<MarkerId> MarkerStore::firstNamed(const QString& name) const
{
    const auto it = m_names.constFind(name);
    if (it == m_names.cend())
        return std::nullopt;
    return it->first;
}

void MarkerStore::linkName(Marker& m)
{
    NameChain& chain = m_names[m.name];
    if (chain.last != 0) {
        find(chain.last)->nextSameName = m.id;
        m.prevSameName = chain.last;
    } else {
        chain.first = m.id;
    }
    chain.last = m.id;
}

void MarkerStore::unlinkName(Marker& m)
{
    const auto it = m_names.find(m.name);
    if (it == m_names.end())
        return;
    if (m.prevSameName != 0)
        find(m.prevSameName)->nextSameName = m.nextSameName;
    else
        it->first = m.nextSameName;
    if (m.nextSameName != 0)
        find(m.nextSameName)->prevSameName = m.prevSameName;
    else
        it->last = m.prevSameName;
    if (it->first == 0)
        m_names.erase(it);
    m.prevSameName = m.nextSameName = 0;
}

void MarkerStore::touch(std::size_t position)
{
    Marker& m = m_markers[position];
    m.inTree = false;
    if (!m.pending) {
        m.pending = true;
        m_pending.push_back(std::uint32_t(position));
    }
}

void MarkerStore::compact()
{
    std::erase_if(m_markers, [](const Marker& m) { return !m.alive; });
    std::fill(m_position.begin(), m_position.end(), 0);
    for (std::size_t p = 0; p < m_markers.size(); ++p) {
        m_position[m_markers[p].id] = std::uint32_t(p + 1);
        m_markers[p].inTree = false;
        m_markers[p].pending = false;
    }
    m_dead = 0;
    m_pending.clear();
    m_tree.clear();
    m_treeValid = false;
}

std::vector<MarkerId> MarkerStore::ids() const
{
    std::vector<MarkerId> out;
    out.reserve(std::size_t(m_live));
    forEach([&](const Marker& m) { out.push_back(m.id); });
    return out;
}

} // namespace aero
