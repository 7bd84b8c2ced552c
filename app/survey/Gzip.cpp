#include "survey/Gzip.h"

#include <QFile>
#include <zlib.h>

namespace aero::import {

bool looksLikeGzip(QByteArrayView head)
{
    return head.size() >= 2 && static_cast<unsigned char>(head[0]) == 0x1f && static_cast<unsigned char>(head[1]) == 0x8b;
}

Inflated inflateFile(const QString& path, qint64 limit)
{
    Inflated out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        out.error = file.errorString();
        return out;
    }
    z_stream z{};
    if (inflateInit2(&z, 15 + 32) != Z_OK) {   // 32: a gzip header is expected and checked
        out.error = QStringLiteral("zlib could not start");
        return out;
    }
    QByteArray in(1 << 16, Qt::Uninitialized);
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        const qint64 n = file.read(in.data(), in.size());
        if (n <= 0) {
            out.error = n < 0 ? file.errorString() : QStringLiteral("the file ends inside its compressed data");
            break;
        }
        z.next_in = reinterpret_cast<Bytef*>(in.data());
        z.avail_in = static_cast<uInt>(n);
        do {
            const qsizetype at = out.bytes.size();
            if (at + (1 << 16) > limit) {
                out.error = QStringLiteral("it inflates to more than %1 bytes").arg(limit);
                inflateEnd(&z);
                return out;
            }
            out.bytes.resize(at + (1 << 16));
            z.next_out = reinterpret_cast<Bytef*>(out.bytes.data() + at);
            z.avail_out = 1 << 16;
            rc = inflate(&z, Z_NO_FLUSH);
            out.bytes.resize(at + (1 << 16) - z.avail_out);
            if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
                out.error = QStringLiteral("damaged compressed data (%1)").arg(QString::fromLatin1(z.msg ? z.msg : "zlib"));
                inflateEnd(&z);
                return out;
            }
        } while (z.avail_out == 0 && rc != Z_STREAM_END);
    }
    inflateEnd(&z);
    return out;
}

} // namespace aero::import
