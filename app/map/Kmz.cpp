#include "map/Kmz.h"

#include <QFile>
#include <zip.h>

namespace aero {

namespace {

QString zipError(zip_t* z)
{
    return QString::fromLocal8Bit(zip_strerror(z));
}

} // namespace

bool looksLikeZip(const QByteArray& head)
{
    return head.startsWith(QByteArrayLiteral("PK\x03\x04"));
}

bool writeKmz(const QString& path, const std::vector<std::pair<QString, QByteArray>>& entries, QString* error)
{
    int code = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!z) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        *error = QString::fromLocal8Bit(zip_error_strerror(&e));
        zip_error_fini(&e);
        return false;
    }
    for (const auto& [name, bytes] : entries) {
        // libzip reads the buffer at zip_close, so it must live until then: `entries` does.
        zip_source_t* src = zip_source_buffer(z, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        if (!src || zip_file_add(z, name.toUtf8().constData(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            if (src)
                zip_source_free(src);
            *error = zipError(z);
            zip_discard(z);
            return false;
        }
    }
    if (zip_close(z) != 0) {
        *error = zipError(z);
        zip_discard(z);
        return false;
    }
    return true;
}

std::optional<QByteArray> readKmlFromKmz(const QString& path, QString* error, qint64 limit)
{
    int code = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!z) {
        *error = QStringLiteral("not a readable KMZ archive");
        return std::nullopt;
    }
    zip_int64_t chosen = zip_name_locate(z, "doc.kml", ZIP_FL_NOCASE);
    const zip_int64_t n = zip_get_num_entries(z, 0);
    for (zip_int64_t i = 0; chosen < 0 && i < n; ++i)
        if (const char* name = zip_get_name(z, zip_uint64_t(i), 0); name && QByteArray(name).toLower().endsWith(".kml"))
            chosen = i;
    zip_stat_t st;
    if (chosen < 0 || zip_stat_index(z, zip_uint64_t(chosen), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
        *error = QStringLiteral("the archive holds no KML document");
        zip_discard(z);
        return std::nullopt;
    }
    if (st.size > zip_uint64_t(limit)) {
        *error = QStringLiteral("the KML document in the archive is larger than %1 MB").arg(limit >> 20);
        zip_discard(z);
        return std::nullopt;
    }
    QByteArray out(qsizetype(st.size), Qt::Uninitialized);
    zip_file_t* f = zip_fopen_index(z, zip_uint64_t(chosen), 0);
    const zip_int64_t got = f ? zip_fread(f, out.data(), st.size) : -1;
    if (f)
        zip_fclose(f);
    zip_discard(z);
    if (got < 0 || zip_uint64_t(got) != st.size) {
        *error = QStringLiteral("the KML document in the archive is damaged");
        return std::nullopt;
    }
    return out;
}

} // namespace aero
