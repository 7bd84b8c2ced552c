#include "ui/APListModel.h"

#include "domain/ObservationFacts.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace aero {

APListModel::APListModel(QObject* parent) : QAbstractTableModel(parent) {}

int APListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

int APListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_table ? int(DetailColumns) : 2;
}

void APListModel::setTable(const APList* table)
{
    beginResetModel();
    m_table = table;
    endResetModel();
}

QVariant APListModel::detail(const Row& r, int column, int role) const
{
    if (!m_table || r.slot < 1 || r.slot > m_table->count() || (role != Qt::DisplayRole && role != Qt::UserRole))
        return {};
    const AccessPoint& ap = m_table->at(r.slot);
    const Observation& o = m_table->observation(r.slot);
    const bool key = role == Qt::UserRole;   // the sort key: numbers compare as numbers
    switch (column) {
    case MacColumn: return ap.MAC;
    case SignalColumn: return key ? QVariant(double(ap.Signal)) : QVariant(QStringLiteral("%1 dBm").arg(double(ap.Signal)));
    case ChannelColumn:
        if (key)
            return double(o.frequencyMHz != 0 ? o.frequencyMHz : frequencyOf(o.channel, o.band));
        return o.channel == 0 ? QString() : QStringLiteral("%1 (%2)").arg(o.channel).arg(bandName(o.band)).remove(QStringLiteral(" ()"));
    case SecurityColumn: return o.security == SecurityClass::Unknown ? QString() : securityName(o.security);
    case FirstSeenColumn: return key ? QVariant(double(o.firstSeen)) : QVariant(isoTime(o.firstSeen));
    case LastSeenColumn: return key ? QVariant(double(o.lastSeen)) : QVariant(isoTime(o.lastSeen));
    case VendorColumn: return o.vendor;
    default: return {};
    }
}

QVariant APListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const Row& r = m_rows[static_cast<std::size_t>(index.row())];
    if (index.column() == 0 && role == Qt::DecorationRole)
        return smallImage(r.image);
    if (index.column() == 1) {
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return r.ssid;
        if (role == Qt::ForegroundRole && r.red)
            return QBrush(QColor(255, 0, 0));
    }
    if (index.column() > 1)
        return detail(r, index.column(), role);
    return {};
}

QVariant APListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const names[] = {"", "SSID", "MAC", "Signal", "Channel", "Security", "First seen",
                                        "Last seen", "Vendor"};
    return section >= 0 && section < int(DetailColumns) ? QString::fromLatin1(names[section]) : QString();
}

void APListModel::sort(int column, Qt::SortOrder order)
{
    if (!m_sorting || column < SsidColumn || column >= columnCount())
        return;
    m_sortColumn = column;
    m_sortOrder = order;
    Q_EMIT layoutAboutToBeChanged();
    // Keys made once (case-folded text, or a number): comparing them is far cheaper than a
    // case-insensitive compare or a lookup per step on 100000 rows.
    struct Key {
        double number;
        QString text;
        std::size_t row;
    };
    std::vector<Key> keys;
    keys.reserve(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (column == SsidColumn) {
            keys.push_back({0, m_rows[i].ssid.toCaseFolded(), i});
            continue;
        }
        const QVariant v = detail(m_rows[i], column, Qt::UserRole);
        if (v.typeId() == QMetaType::Double)
            keys.push_back({v.toDouble(), {}, i});
        else
            keys.push_back({0, v.toString().toCaseFolded(), i});
    }
    const auto less = [](const Key& a, const Key& b) { return a.number != b.number ? a.number < b.number : a.text < b.text; };
    std::stable_sort(keys.begin(), keys.end(),
                     [&](const Key& a, const Key& b) { return order == Qt::AscendingOrder ? less(a, b) : less(b, a); });
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (const Key& k : keys)
        sorted.push_back(std::move(m_rows[k.row]));
    m_rows = std::move(sorted);
    m_indexValid = false;
    Q_EMIT layoutChanged();
}

void APListModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_indexValid = false;
    endResetModel();
}

void APListModel::setRows(std::vector<Row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_indexValid = false;
    endResetModel();
}

void APListModel::addRow(Row row)
{
    beginInsertRows({}, count(), count());
    m_rows.push_back(std::move(row));
    m_indexValid = false;
    endInsertRows();
}

void APListModel::removeRowAt(int row)
{
    if (row < 0 || row >= count())
        return;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    m_indexValid = false;
    endRemoveRows();
}

void APListModel::rebuildIndex() const
{
    m_index.clear();
    m_index.reserve(count());
    m_slotIndex.clear();
    m_slotIndex.reserve(count());
    for (int i = count() - 1; i >= 0; --i) {   // backwards, so the first row of a name wins
        const Row& r = m_rows[static_cast<std::size_t>(i)];
        m_index.insert(r.ssid, i);
        if (r.slot > 0)
            m_slotIndex.insert(r.slot, i);
    }
    m_indexValid = true;
}

int APListModel::rowOf(const QString& ssid) const
{
    if (!m_indexValid)
        rebuildIndex();
    return m_index.value(ssid, -1);
}

int APListModel::rowOfSlot(int slot) const
{
    if (!m_indexValid)
        rebuildIndex();
    return m_slotIndex.value(slot, -1);
}

void APListModel::setRed(int row, bool red, bool notify)
{
    if (row < 0 || row >= count())
        return;
    m_rows[static_cast<std::size_t>(row)].red = red;
    if (notify) {
        const QModelIndex i = index(row, 1);
        Q_EMIT dataChanged(i, i, {Qt::ForegroundRole});
    }
}

void APListModel::redChanged()
{
    if (count() > 0)
        Q_EMIT dataChanged(index(0, 1), index(count() - 1, 1), {Qt::ForegroundRole});
}

void APListModel::clearRed()
{
    for (auto& r : m_rows)
        r.red = false;
    redChanged();
}

void APListModel::setSortingEnabled(bool on)
{
    m_sorting = on;
    if (on)
        sort(m_sortColumn, m_sortOrder);
}

QIcon APListModel::smallImage(int image)
{
    // Image 1: an open network (green ring); image 3: an encrypted one (red padlock).
    static const QIcon open = [] {
        QPixmap p(16, 16);
        p.fill(Qt::transparent);
        QPainter g(&p);
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(QPen(QColor(0, 140, 40), 2));
        g.setBrush(QColor(120, 220, 120));
        g.drawEllipse(QRectF(2.5, 2.5, 11, 11));
        return QIcon(p);
    }();
    static const QIcon locked = [] {
        QPixmap p(16, 16);
        p.fill(Qt::transparent);
        QPainter g(&p);
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(QPen(QColor(150, 0, 0), 2));
        g.setBrush(Qt::NoBrush);
        g.drawArc(QRectF(4, 1.5, 8, 9), 0, 180 * 16);
        g.setBrush(QColor(220, 40, 40));
        g.drawRect(QRectF(2.5, 7, 11, 7.5));
        return QIcon(p);
    }();
    return image == EncryptedImage ? locked : open;
}

} // namespace aero
