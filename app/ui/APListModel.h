#pragma once
// The rows of the two AP list panels (`lstAP`, `lstNoGps`): an icon column without text and the
// SSID column. A model over plain rows, so 100000 rows fill at once; a name index finds the row
// of an SSID without walking the list. Given the AP table, the upper list also shows what the
// logs said of each AP (MAC, signal, channel and band, security, first and last seen, vendor),
// read from the table's slot on demand, and sorts by any of those columns.
#include "domain/APList.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <vector>

namespace aero {

class APListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum SmallImage { OpenImage = 1, EncryptedImage = 3 };
    enum Column { IconColumn, SsidColumn, MacColumn, SignalColumn, ChannelColumn, SecurityColumn, FirstSeenColumn,
                  LastSeenColumn, VendorColumn, DetailColumns };
    struct Row {
        QString ssid;
        int image = OpenImage;
        bool red = false;     // marked by a filter
        int slot = 0;         // the record's slot in the AP table; 0: not known
    };

    explicit APListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    void clear();
    void setRows(std::vector<Row> rows);
    void addRow(Row row);
    void removeRowAt(int row);
    const Row& rowAt(int row) const { return m_rows[static_cast<std::size_t>(row)]; }
    int count() const { return static_cast<int>(m_rows.size()); }

    // First row showing `ssid`, or -1.
    int rowOf(const QString& ssid) const;
    // Row of the record in table slot `slot`, or -1. Two records may share a name for a while
    // (a Kismet record before the next summary import), so marks go by slot.
    int rowOfSlot(int slot) const;
    // `notify` false defers the redraw to redChanged(), for marking many rows in one pass.
    void setRed(int row, bool red, bool notify = true);
    void redChanged();
    void clearRed();
    bool sortingEnabled() const { return m_sorting; }
    void setSortingEnabled(bool on);

    static QIcon smallImage(int image);

    // Shows the detail columns, read from `table` by each row's slot; nullptr: icon and SSID only.
    void setTable(const APList* table);

private:
    void rebuildIndex() const;
    QVariant detail(const Row& row, int column, int role) const;

    const APList* m_table = nullptr;
    int m_sortColumn = SsidColumn;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;

    std::vector<Row> m_rows;
    mutable QHash<QString, int> m_index;
    mutable QHash<int, int> m_slotIndex;
    mutable bool m_indexValid = false;
    bool m_sorting = true;
};

} // namespace aero
