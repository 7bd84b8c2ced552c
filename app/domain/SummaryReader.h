#pragma once
// Reads a wi-scan text summary record by record, so the caller can check each record
// against the AP table and let the event loop run between lines.
//
//   SummaryReader reader(file);
//   switch (reader.readHeader()) { ... }          // NotSummaryLine1/2: not a summary
//   while (auto r = reader.next()) { ... }        // one record per data line
//   reader.status(), reader.skippedCount(), reader.lineNumber()
//
// Lines 1 and 2 are the creator and format lines, line 3 the column heading; none of
// them is ever data. A data line that ends before all its fields is skipped and counted,
// and so is a line longer than LineReader's limit; reading goes on after both.
#include "domain/LineReader.h"
#include "domain/SummaryLine.h"

#include <optional>
#include <vector>

namespace aero::import {

enum class SummaryStatus {
    Ok,
    NotSummaryLine1,   // line 1 lacks "Network Stumbler" (or the file is empty)
    NotSummaryLine2,   // line 2 lacks "wi-scan summary"
    ReadError,         // the device failed; the records before it were read correctly
};

class SummaryReader {
public:
    enum class Step { Record, Other, Skipped, End };

    explicit SummaryReader(QIODevice& device);
    explicit SummaryReader(QByteArrayView bytes);

    // Reads and checks lines 1-3. Called by step()/next() if the caller did not.
    SummaryStatus readHeader();

    // Reads one line: Record (record() holds it), Other (not a data line),
    // Skipped (a truncated or overlong line) or End (end of input, or a bad header).
    Step step();

    // Reads up to the next record; nullopt at the end.
    std::optional<SummaryRecord> next();

    const SummaryRecord& record() const { return m_record; }
    SummaryStatus status() const;
    qint64 lineNumber() const { return m_lines.lineNumber(); }   // last line read
    QByteArrayView line() const { return m_lines.line(); }        // its bytes
    qint64 recordCount() const { return m_records; }
    qint64 truncatedCount() const { return m_truncated; }
    qint64 overlongCount() const { return m_lines.overlongCount(); }
    qint64 skippedCount() const { return m_truncated + m_lines.overlongCount(); }
    qint64 firstSkippedLine() const { return m_firstSkipped; }   // 0 when none

private:
    bool readHeaderLine(bool (*test)(QByteArrayView));
    Step skipped();

    LineReader m_lines;
    std::optional<SummaryStatus> m_header;
    SummaryRecord m_record;
    qint64 m_records = 0;
    qint64 m_truncated = 0;
    qint64 m_firstSkipped = 0;
};

// Everything a file holds, for callers that want it at once (the comparison tool, tests).
struct SummaryContents {
    SummaryStatus status = SummaryStatus::Ok;
    std::vector<SummaryRecord> records;
    qint64 lines = 0;
    qint64 skipped = 0;
};
SummaryContents readSummary(QIODevice& device);
SummaryContents readSummary(QByteArrayView bytes);

} // namespace aero::import
