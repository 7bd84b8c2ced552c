#pragma once
// Reads a Kismet network log (.csv) record by record.
//
//   KismetCsvReader reader(file);
//   if (reader.readHeading() != KismetStatus::Ok) ...   // errorColumn() names what is missing
//   while (auto ap = reader.next()) { ... }               // one record per network line
//   if (reader.status() == KismetStatus::BadNumber) ...   // errorLine(), errorColumn()
//
// Every line is one record: a line whose field count differs from the heading's is skipped
// and counted, so it can never shift the records after it. A GPS column holding text ends
// the reading. Repeated networks are all returned; records carry no coordinates.
#include "domain/KismetCsv.h"
#include "domain/LineReader.h"

#include <optional>

namespace aero::import {

enum class KismetStatus {
    Ok,
    Empty,         // not even a heading line
    BadHeading,    // the heading lacks NetType, ESSID, BSSID, or both WEP and Encryption
    BadNumber,     // a GPS column held text at errorLine(); records before it are good
    ReadError,     // the device failed; records before it are good
};

class KismetCsvReader {
public:
    enum class Step { Record, Other, Skipped, End };

    explicit KismetCsvReader(QIODevice& device);
    explicit KismetCsvReader(QByteArrayView bytes);

    // Reads the heading line. Called by step()/next() if the caller did not.
    KismetStatus readHeading();

    // Reads one line: Record (record() holds it), Other (blank line), Skipped (wrong field
    // count or overlong) or End (end of input, or an error: see status()).
    Step step();

    std::optional<AccessPoint> next();

    const AccessPoint& record() const { return m_record; }
    const KismetSeen& seen() const { return m_seen; }
    KismetStatus status() const { return m_status; }
    const KismetColumns& columns() const { return m_columns; }
    qint64 lineNumber() const { return m_lines.lineNumber(); }
    QByteArrayView line() const { return m_lines.line(); }        // the last line read
    qint64 errorLine() const { return m_errorLine; }
    QString errorColumn() const { return m_errorColumn; }
    qint64 recordCount() const { return m_records; }
    qint64 wrongFieldCount() const { return m_wrongFields; }
    qint64 overlongCount() const { return m_lines.overlongCount(); }
    qint64 skippedCount() const { return m_wrongFields + m_lines.overlongCount(); }
    qint64 firstSkippedLine() const { return m_firstSkipped; }   // 0 when none

private:
    Step fail(KismetStatus status, QString column);
    Step skipped();

    LineReader m_lines;
    bool m_headingRead = false;
    bool m_stopped = false;
    KismetStatus m_status = KismetStatus::Ok;
    KismetColumns m_columns;
    AccessPoint m_record;
    KismetSeen m_seen;
    qint64 m_errorLine = 0;
    QString m_errorColumn;
    qint64 m_records = 0;
    qint64 m_wrongFields = 0;
    qint64 m_firstSkipped = 0;
};

} // namespace aero::import
