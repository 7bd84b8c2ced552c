#pragma once
// The rows of the upload list: every AP of the main list with its position and the short,
// unique name it gets on the receiver, and whether it is ticked for sending.
#include "ui/APListModel.h"
#include "map/MapService.h"

#include <QAbstractTableModel>
#include <vector>

namespace aero {

struct UploadRow {
    QString ssid;
    int image = APListModel::OpenImage;
    QString latitude;    // five decimals, "."
    QString longitude;
    QString label;       // the waypoint name
    bool ticked = false;
    friend bool operator==(const UploadRow&, const UploadRow&) = default;
};

// One row per row of `lstAP`, in its order, named for `navletChars` characters (the caller
// passes the length the receiver keeps). Positions come from each AP's marker on `map`;
// an AP without a marker is an error (AppError 91), as nothing else knows where it stands.
std::vector<UploadRow> buildUploadRows(const APListModel& lstAP, const MapService& map, int navletChars,
                                       const QString& waypointFormat);

class UploadListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ApName, Latitude, Longitude, GpsLabel };

    explicit UploadListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setRows(std::vector<UploadRow> rows);
    void clear() { setRows({}); }
    const UploadRow& rowAt(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    int count() const { return static_cast<int>(m_rows.size()); }
    void setTicked(int row, bool ticked);
    void untickAll();
    // Names every row again for `chars` characters, keeping the ticks.
    void relabel(int chars, const QString& waypointFormat);
    std::vector<UploadRow> tickedRows() const;

private:
    std::vector<UploadRow> m_rows;
};

} // namespace aero
