#include "map/TilePack.h"

#include "domain/SqliteBounds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sqlite3.h>

#include <algorithm>

namespace aero {

namespace {
constexpr int MaxPackZoom = 24;
constexpr qint64 MaxTileBytes = 4 * 1024 * 1024;   // nothing sane is larger; bounds a damaged pack
// One value of an MBTiles file's metadata table; empty when it has none.
QString metadata(sqlite3* db, const char* name)
{
    QString value;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT value FROM metadata WHERE name=?1", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_bind_text(st, 1, name, -1, SQLITE_STATIC) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
    return value;
}

// Packs often carry their credit as an HTML link; the map shows it as text.
QString plainText(QString html)
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    html.remove(tag);
    html.replace(QLatin1String("&copy;"), QStringLiteral("\u00A9"));
    html.replace(QLatin1String("&nbsp;"), QLatin1String(" "));
    html.replace(QLatin1String("&lt;"), QLatin1String("<")).replace(QLatin1String("&gt;"), QLatin1String(">"));
    html.replace(QLatin1String("&quot;"), QLatin1String("\"")).replace(QLatin1String("&amp;"), QLatin1String("&"));
    return html.simplified();
}

} // namespace

TilePack::TilePack() = default;
TilePack::~TilePack() { close(); }

void TilePack::close()
{
    if (m_select)
        sqlite3_finalize(m_select);
    m_bounds.reset();
    if (m_db)
        sqlite3_close(m_db);
    m_select = nullptr, m_db = nullptr;
    m_kind = Kind::None;
    m_minZoom = 0, m_maxZoom = -1;
    m_attribution.clear();
}

bool TilePack::open(const QString& path)
{
    close();
    m_path = path;
    m_error.clear();
    const QFileInfo info(path);
    const bool ok = info.isDir() ? openFolder(path) : info.isFile() ? openMbtiles(path) : false;
    if (!ok && m_error.isEmpty())
        m_error = QStringLiteral("%1 not found").arg(path);
    if (!ok)
        close();
    return ok;
}

bool TilePack::openMbtiles(const QString& path)
{
    // Read-only, and never creating a file where a pack was expected.
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        m_error = QString::fromUtf8(sqlite3_errmsg(m_db));
        return false;
    }
    // Queries run on the GUI thread: a second each at most (a tile takes well under a millisecond).
    m_bounds = std::make_unique<SqliteBounds>(m_db, nullptr, int(MaxTileBytes));
    m_bounds->setBudget(1000);
    m_bounds->startStatement();
    if (sqlite3_prepare_v2(m_db, "SELECT tile_data FROM tiles WHERE zoom_level=?1 AND tile_column=?2 AND tile_row=?3",
                           -1, &m_select, nullptr) != SQLITE_OK) {
        m_error = QStringLiteral("%1 is not an MBTiles file: %2").arg(path, QString::fromUtf8(sqlite3_errmsg(m_db)));
        return false;
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, "SELECT MIN(zoom_level), MAX(zoom_level) FROM tiles WHERE typeof(zoom_level)='integer'", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW && sqlite3_column_type(st, 0) != SQLITE_NULL) {
        m_minZoom = std::clamp(sqlite3_column_int(st, 0), 0, MaxPackZoom);
        m_maxZoom = std::clamp(sqlite3_column_int(st, 1), 0, MaxPackZoom);
    }
    sqlite3_finalize(st);
    m_bounds->startStatement();
    m_attribution = plainText(metadata(m_db, "attribution"));
    // Vector tiles need a style to be drawn; say so rather than draw nothing without a word.
    m_bounds->startStatement();
    const QString format = metadata(m_db, "format").trimmed().toLower();
    if (format == QLatin1String("pbf") || format == QLatin1String("mvt")) {
        m_error = QStringLiteral("%1 holds vector tiles (Mapbox Vector Tiles, format \"%2\"), which the map cannot draw; "
                                 "use a pack of raster tiles (PNG, JPEG or WebP)").arg(path, format);
        return false;
    }
    if (m_maxZoom < 0) {
        m_error = QStringLiteral("%1 holds no tiles").arg(path);
        return false;
    }
    m_kind = Kind::MBTiles;
    return true;
}

bool TilePack::openFolder(const QString& path)
{
    const QDir dir(path);
    for (const QString& z : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isNumber = false;
        const int zoom = z.toInt(&isNumber);
        if (!isNumber || zoom < 0 || zoom > MaxPackZoom)
            continue;
        if (m_maxZoom < 0)
            m_minZoom = zoom;
        m_minZoom = std::min(m_minZoom, zoom), m_maxZoom = std::max(m_maxZoom, zoom);
        if (m_suffix.isEmpty()) {
            const QDir zdir(dir.filePath(z));
            for (const QString& x : zdir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                const QStringList files = QDir(zdir.filePath(x)).entryList(QDir::Files);
                if (!files.isEmpty()) {
                    m_suffix = QFileInfo(files.first()).suffix();
                    break;
                }
            }
        }
    }
    if (m_maxZoom < 0 || m_suffix.isEmpty()) {
        m_error = QStringLiteral("%1 holds no z/x/y tiles").arg(path);
        return false;
    }
    m_kind = Kind::Folder;
    return true;
}

QByteArray TilePack::tile(int z, int x, int y) const
{
    if (z < m_minZoom || z > m_maxZoom || x < 0 || y < 0 || x >= (1 << z) || y >= (1 << z))
        return {};
    if (m_kind == Kind::Folder) {
        QFile f(QStringLiteral("%1/%2/%3/%4.%5").arg(m_path).arg(z).arg(x).arg(y).arg(m_suffix));
        if (!f.open(QIODevice::ReadOnly) || f.size() > MaxTileBytes)
            return {};
        return f.readAll();
    }
    if (m_kind != Kind::MBTiles)
        return {};
    QByteArray bytes;
    sqlite3_reset(m_select);
    sqlite3_bind_int(m_select, 1, z);
    sqlite3_bind_int(m_select, 2, x);
    sqlite3_bind_int(m_select, 3, (1 << z) - 1 - y);   // MBTiles counts rows from the south
    m_bounds->startStatement();
    if (sqlite3_step(m_select) == SQLITE_ROW) {
        const int n = sqlite3_column_bytes(m_select, 0);
        if (n > 0 && n <= MaxTileBytes)
            bytes = QByteArray(static_cast<const char*>(sqlite3_column_blob(m_select, 0)), n);
    }
    sqlite3_reset(m_select);
    return bytes;
}

} // namespace aero
