#include "domain/SummaryReader.h"

#include "domain/NextRecord.h"

namespace aero::import {

SummaryReader::SummaryReader(QIODevice& device) : m_lines(device) {}

SummaryReader::SummaryReader(QByteArrayView bytes) : m_lines(bytes) {}

bool SummaryReader::readHeaderLine(bool (*test)(QByteArrayView))
{
    return m_lines.next() == LineReader::Result::Line && test(m_lines.line());
}

SummaryStatus SummaryReader::readHeader()
{
    if (m_header)
        return *m_header;
    if (!readHeaderLine(isSummaryCreatorLine))
        m_header = SummaryStatus::NotSummaryLine1;
    else if (!readHeaderLine(isSummaryFormatLine))
        m_header = SummaryStatus::NotSummaryLine2;
    else {
        m_lines.next();   // the column heading, whatever it holds
        m_header = SummaryStatus::Ok;
    }
    if (*m_header != SummaryStatus::Ok && m_lines.readError())
        m_header = SummaryStatus::ReadError;
    return *m_header;
}

SummaryReader::Step SummaryReader::skipped()
{
    if (m_firstSkipped == 0)
        m_firstSkipped = m_lines.lineNumber();
    return Step::Skipped;
}

SummaryReader::Step SummaryReader::step()
{
    if (readHeader() != SummaryStatus::Ok)
        return Step::End;
    switch (m_lines.next()) {
    case LineReader::Result::End:
        return Step::End;
    case LineReader::Result::Overlong:
        return skipped();
    case LineReader::Result::Line:
        break;
    }
    switch (parseSummaryLine(m_lines.line(), m_record)) {
    case SummaryLineKind::NotData:
        return Step::Other;
    case SummaryLineKind::Truncated:
        ++m_truncated;
        return skipped();
    case SummaryLineKind::Data:
        break;
    }
    m_record.line = m_lines.lineNumber();
    ++m_records;
    return Step::Record;
}

std::optional<SummaryRecord> SummaryReader::next()
{
    return nextRecord(*this);
}

SummaryStatus SummaryReader::status() const
{
    if (m_header && *m_header != SummaryStatus::Ok)
        return *m_header;
    return m_lines.readError() ? SummaryStatus::ReadError : SummaryStatus::Ok;
}

namespace {
SummaryContents readAll(SummaryReader& reader)
{
    SummaryContents contents;
    while (auto record = reader.next())
        contents.records.push_back(std::move(*record));
    contents.status = reader.status();
    contents.lines = reader.lineNumber();
    contents.skipped = reader.skippedCount();
    return contents;
}
} // namespace

SummaryContents readSummary(QIODevice& device)
{
    SummaryReader reader(device);
    return readAll(reader);
}

SummaryContents readSummary(QByteArrayView bytes)
{
    SummaryReader reader(bytes);
    return readAll(reader);
}

} // namespace aero::import
