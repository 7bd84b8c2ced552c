#include "ApCsv.h"

#include <QIODevice>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

// Fields of the record being read; quoted fields may hold commas, quotes and line ends.
class CsvRecord {
public:
    // Takes one character; true when it ended a record (then take() gives it).
    bool put(QChar c)
    {
        if (m_quoted) {
            if (m_quoteSeen) {
                m_quoteSeen = false;
                if (c == '"') {
                    m_field += c;
                    return false;
                }
                m_quoted = false;   // the quote closed the text; c goes on below
            } else {
                if (c == '"')
                    m_quoteSeen = true;
                else
                    m_field += c;
                return false;
            }
        }
        if (c == '"') {
            m_quoted = true, m_anything = true;
        } else if (c == ',') {
            m_fields << m_field;
            m_field.clear();
            m_anything = true;
        } else if (c == '\n' || c == '\r') {
            if (pending())
                return true;
            m_size = 0;   // blank lines between records
        } else {
            m_field += c;
            m_anything = true;
        }
        return false;
    }
    bool pending() const { return m_anything || !m_field.isEmpty(); }
    qsizetype size() const { return m_size; }
    void count() { ++m_size; }
    QStringList take()
    {
        QStringList out = std::move(m_fields) << m_field;
        *this = {};
        return out;
    }

private:
    QStringList m_fields;
    QString m_field;
    bool m_quoted = false, m_quoteSeen = false, m_anything = false;
    qsizetype m_size = 0;
};

} // namespace

double leadingNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral(R"(^\s*[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?)"));
    const auto m = number.match(text);
    return m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0.0;
}

ApRows readApRows(QIODevice& in, std::size_t maxRows)
{
    ApRows out;
    // The program writes its list in Windows-1252, one byte per character.
    QStringDecoder windows1252("windows-1252");
    CsvRecord record;
    auto keep = [&](const QStringList& r) {
        if (r.size() < 5)
            return true;
        ApRow row{r.at(0), r.at(1), leadingNumber(r.at(3)), leadingNumber(r.at(4))};
        if (row.latitude == 0 && row.longitude == 0)
            return true;
        if (out.rows.size() == maxRows) {
            out.error = QStringLiteral("more than %1 access points").arg(maxRows);
            return false;
        }
        out.rows.push_back(std::move(row));
        return true;
    };
    for (;;) {
        const QByteArray chunk = in.read(64 * 1024);
        if (chunk.isEmpty()) {
            if (in.atEnd() || in.isSequential())
                break;
            out.error = in.errorString();
            return out;
        }
        const QString text = windows1252.isValid() ? windows1252(chunk) : QString::fromLatin1(chunk);
        for (const QChar c : text) {
            record.count();
            if (record.put(c)) {
                if (!keep(record.take()))
                    return out;
            } else if (record.size() > MaxRecordChars) {
                out.error = QStringLiteral("a record longer than %1 characters").arg(MaxRecordChars);
                return out;
            }
        }
    }
    if (record.pending())
        keep(record.take());
    return out;
}
