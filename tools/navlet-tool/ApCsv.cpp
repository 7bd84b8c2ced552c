#include "ApCsv.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace {

struct CsvRecords {
    std::vector<QStringList> records;
    QStringList fields;
    QString field;
    bool anything = false;

    void endField()
    {
        fields << field;
        field.clear();
        anything = true;
    }
    void endRecord()
    {
        if (anything || !field.isEmpty())
            records.push_back(fields << field);
        fields.clear();
        field.clear();
        anything = false;
    }
};

// Reads the quoted text after the opening quote at `i`; returns the index of the closing quote.
qsizetype readQuoted(const QString& text, qsizetype i, QString& field)
{
    for (++i; i < text.size(); ++i) {
        if (text.at(i) != '"') {
            field += text.at(i);
        } else if (i + 1 < text.size() && text.at(i + 1) == '"') {
            field += '"';
            ++i;
        } else {
            break;
        }
    }
    return i;
}

} // namespace

std::vector<QStringList> parseCsv(const QString& text)
{
    CsvRecords csv;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == '"') {
            i = readQuoted(text, i, csv.field);
            csv.anything = true;
        } else if (c == ',') {
            csv.endField();
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n')
                ++i;
            csv.endRecord();
        } else {
            csv.field += c;
            csv.anything = true;
        }
    }
    csv.endRecord();
    return csv.records;
}

double leadingNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral(R"(^\s*[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?)"));
    const auto m = number.match(text);
    return m.hasMatch() ? m.captured(0).trimmed().toDouble() : 0.0;
}

std::vector<ApRow> readApRows(const QByteArray& bytes)
{
    std::vector<ApRow> rows;
    // The program writes its list in Windows-1252, one byte per character.
    QStringDecoder windows1252("windows-1252");
    const QString text = windows1252.isValid() ? windows1252(bytes) : QString::fromLatin1(bytes);
    for (const QStringList& r : parseCsv(text)) {
        if (r.size() < 5)
            continue;
        ApRow row{r.at(0), r.at(1), leadingNumber(r.at(3)), leadingNumber(r.at(4))};
        if (row.latitude == 0 && row.longitude == 0)
            continue;
        rows.push_back(row);
    }
    return rows;
}
