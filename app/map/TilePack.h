#pragma once
// A tile pack on disk: an MBTiles file (SQLite, raster PNG or JPEG tiles, rows counted from
// the south as in TMS) or a folder of z/x/y.png (or .jpg) tiles, as QGIS, GDAL and the usual
// tile tools write them. Gives the stored bytes of a tile in the usual XYZ numbering.
//
//   TilePack pack;
//   if (!pack.open(path)) report(pack.error());
//   const QByteArray png = pack.tile(15, 17059, 11948);   // empty when the pack lacks it
//
// Qt Core and SQLite only.
#include <QByteArray>
#include <QString>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

namespace aero {

class SqliteBounds;

class TilePack {
public:
    enum class Kind { None, MBTiles, Folder };

    TilePack();
    TilePack(const TilePack&) = delete;
    TilePack& operator=(const TilePack&) = delete;
    ~TilePack();

    bool open(const QString& path);
    void close();
    Kind kind() const { return m_kind; }
    QString path() const { return m_path; }
    QString error() const { return m_error; }
    int minZoom() const { return m_minZoom; }
    int maxZoom() const { return m_maxZoom; }
    QString attribution() const { return m_attribution; }

    QByteArray tile(int z, int x, int y) const;

private:
    bool openMbtiles(const QString& path);
    bool openFolder(const QString& path);

    Kind m_kind = Kind::None;
    QString m_path, m_error, m_attribution, m_suffix;
    int m_minZoom = 0, m_maxZoom = -1;
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_select = nullptr;
    std::unique_ptr<SqliteBounds> m_bounds;   // each query of a crafted pack is cut short
};

} // namespace aero
