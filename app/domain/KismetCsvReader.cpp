#include "domain/KismetCsvReader.h"

#include "domain/NextRecord.h"

namespace aero::import {

KismetCsvReader::KismetCsvReader(QIODevice& device) : m_lines(device) {}

KismetCsvReader::KismetCsvReader(QByteArrayView bytes) : m_lines(bytes) {}

KismetStatus KismetCsvReader::readHeading()
{
    if (m_headingRead)
        return m_status;
    m_headingRead = true;
    switch (m_lines.next()) {
    case LineReader::Result::End:
        fail(m_lines.readError() ? KismetStatus::ReadError : KismetStatus::Empty, {});
        return m_status;
    case LineReader::Result::Overlong:
        fail(KismetStatus::BadHeading, QStringLiteral("NetType"));
        return m_status;
    case LineReader::Result::Line:
        break;
    }
    m_columns = kismetColumns(m_lines.line());
    const QString missing = m_columns.missingColumn();
    if (!missing.isEmpty())
        fail(KismetStatus::BadHeading, missing);
    return m_status;
}

KismetCsvReader::Step KismetCsvReader::fail(KismetStatus status, QString column)
{
    m_status = status;
    m_errorLine = m_lines.lineNumber();
    m_errorColumn = std::move(column);
    m_stopped = true;
    return Step::End;
}

KismetCsvReader::Step KismetCsvReader::skipped()
{
    if (m_firstSkipped == 0)
        m_firstSkipped = m_lines.lineNumber();
    return Step::Skipped;
}

KismetCsvReader::Step KismetCsvReader::step()
{
    readHeading();
    if (m_stopped)
        return Step::End;
    switch (m_lines.next()) {
    case LineReader::Result::End:
        return m_lines.readError() ? fail(KismetStatus::ReadError, {}) : Step::End;
    case LineReader::Result::Overlong:
        return skipped();
    case LineReader::Result::Line:
        break;
    }
    QString badColumn;
    switch (parseKismetLine(m_lines.line(), m_columns, m_record, &badColumn, &m_seen)) {
    case KismetLineKind::Blank:
        return Step::Other;
    case KismetLineKind::WrongFieldCount:
        ++m_wrongFields;
        return skipped();
    case KismetLineKind::BadNumber:
        return fail(KismetStatus::BadNumber, badColumn);
    case KismetLineKind::Record:
        break;
    }
    ++m_records;
    return Step::Record;
}

std::optional<AccessPoint> KismetCsvReader::next()
{
    return nextRecord(*this);
}

} // namespace aero::import
