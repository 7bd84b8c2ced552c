#include "receiver/UploadList.h"

#include "domain/AppError.h"
#include "domain/NumberText.h"
#include "domain/GIS.h"
#include "navlet/WaypointNames.h"

namespace aero {
namespace {

constexpr int ObjectNotSet = 91;
constexpr int PositionDecimals = 5;

QString positionText(double degrees)
{
    // Whatever the locale, the receiver's numbers use ".".
    return fixedText(degrees, PositionDecimals).replace(QLatin1Char(','), QLatin1Char('.'));
}

} // namespace

std::vector<UploadRow> buildUploadRows(const APListModel& lstAP, const MapService& map, int navletChars,
                                       const QString& waypointFormat)
{
    std::vector<QString> ssids;
    ssids.reserve(static_cast<std::size_t>(lstAP.count()));
    for (int i = 0; i < lstAP.count(); ++i)
        ssids.push_back(lstAP.rowAt(i).ssid);
    const std::vector<QString> names = navlet::makeWaypointNames(ssids, navletChars, waypointFormat);

    std::vector<UploadRow> rows;
    rows.reserve(ssids.size());
    for (int i = 0; i < lstAP.count(); ++i) {
        const auto marker = map.FindMarker(ssids[static_cast<std::size_t>(i)]);
        if (!marker)
            throw AppError(ObjectNotSet, QStringLiteral("Object variable or With block variable not set"));
        double lat = 0.0;
        double lon = 0.0;
        LocationToLatLon(map.markerLocation(*marker), lat, lon);
        rows.push_back({ssids[static_cast<std::size_t>(i)], lstAP.rowAt(i).image, positionText(lat), positionText(lon),
                        names[static_cast<std::size_t>(i)], false});
    }
    return rows;
}

UploadListModel::UploadListModel(QObject* parent) : QAbstractTableModel(parent) {}

int UploadListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count(); }

int UploadListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 4; }

QVariant UploadListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count() || index.column() > GpsLabel)
        return {};
    const UploadRow& r = rowAt(index.row());
    if (role == Qt::DisplayRole) {
        switch (static_cast<Column>(index.column())) {
        case ApName: return r.ssid;
        case Latitude: return r.latitude;
        case Longitude: return r.longitude;
        case GpsLabel: return r.label;
        }
    }
    if (index.column() == ApName && role == Qt::CheckStateRole)
        return r.ticked ? Qt::Checked : Qt::Unchecked;
    if (index.column() == ApName && role == Qt::DecorationRole)
        return APListModel::smallImage(r.image);
    return {};
}

bool UploadListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= count() || index.column() != ApName || role != Qt::CheckStateRole)
        return false;
    setTicked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags UploadListModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == ApName)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant UploadListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case ApName: return QStringLiteral("AP Name");
    case Latitude: return QStringLiteral("Latitude");
    case Longitude: return QStringLiteral("Longitude");
    case GpsLabel: return QStringLiteral("GPS Label");
    default: return {};
    }
}

void UploadListModel::setRows(std::vector<UploadRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

void UploadListModel::setTicked(int row, bool ticked)
{
    if (row < 0 || row >= count())
        return;
    m_rows[static_cast<std::size_t>(row)].ticked = ticked;
    const QModelIndex i = index(row, ApName);
    Q_EMIT dataChanged(i, i, {Qt::CheckStateRole});
}

void UploadListModel::relabel(int chars, const QString& waypointFormat)
{
    std::vector<QString> ssids;
    ssids.reserve(m_rows.size());
    for (const UploadRow& r : m_rows)
        ssids.push_back(r.ssid);
    const std::vector<QString> names = navlet::makeWaypointNames(ssids, chars, waypointFormat);
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        m_rows[i].label = names[i];
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0, GpsLabel), index(count() - 1, GpsLabel), {Qt::DisplayRole});
}

void UploadListModel::untickAll()
{
    for (UploadRow& r : m_rows)
        r.ticked = false;
    if (!m_rows.empty())
        Q_EMIT dataChanged(index(0, ApName), index(count() - 1, ApName), {Qt::CheckStateRole});
}

std::vector<UploadRow> UploadListModel::tickedRows() const
{
    std::vector<UploadRow> out;
    for (const UploadRow& r : m_rows)
        if (r.ticked)
            out.push_back(r);
    return out;
}

} // namespace aero
