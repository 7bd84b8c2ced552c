#include "ui/APListModel.h"

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

int APListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

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
    return {};
}

QVariant APListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 1 ? QStringLiteral("SSID") : QString();
}

void APListModel::sort(int column, Qt::SortOrder order)
{
    if (!m_sorting || column != 1)
        return;
    Q_EMIT layoutAboutToBeChanged();
    // Case-folded keys made once: comparing them is far cheaper than a case-insensitive compare
    // per step on 100000 rows.
    std::vector<std::pair<QString, std::size_t>> keys;
    keys.reserve(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        keys.emplace_back(m_rows[i].ssid.toCaseFolded(), i);
    std::stable_sort(keys.begin(), keys.end(), [order](const auto& a, const auto& b) {
        return order == Qt::AscendingOrder ? a.first < b.first : b.first < a.first;
    });
    std::vector<Row> sorted;
    sorted.reserve(m_rows.size());
    for (const auto& k : keys)
        sorted.push_back(std::move(m_rows[k.second]));
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
        sort(1, Qt::AscendingOrder);
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
