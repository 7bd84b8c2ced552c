#include "domain/LineReader.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace aero::import {

namespace {
// A line may carry its CR LF or LF CR beyond the limit.
constexpr qsizetype LineEndSlack = 2;
} // namespace

LineReader::LineReader(QIODevice& device, qsizetype maxLine, qsizetype chunk)
    : m_device(&device), m_maxLine(maxLine), m_chunk(std::max<qsizetype>(chunk, 1))
{
}

LineReader::LineReader(QByteArrayView bytes, qsizetype maxLine)
    : m_data(bytes.data()), m_end(bytes.size()), m_maxLine(maxLine), m_atEnd(true)
{
}

qsizetype LineReader::findLf(qsizetype from) const
{
    if (from >= m_end)
        return -1;
    const void* hit = std::memchr(m_data + from, '\n', static_cast<std::size_t>(m_end - from));
    return hit ? static_cast<const char*>(hit) - m_data : -1;
}

LineReader::Result LineReader::next()
{
    const qsizetype limit = m_maxLine + LineEndSlack;
    for (;;) {
        const qsizetype lf = findLf(m_pos + m_scanned);
        if (lf >= 0)
            return takeLine(lf, true);
        m_scanned = m_end - m_pos;
        if (m_scanned > limit)
            return skipOverlong();
        if (!fill())
            return m_pos < m_end ? takeLine(m_end, false) : Result::End;
    }
}

LineReader::Result LineReader::takeLine(qsizetype lineEnd, bool terminated)
{
    QByteArrayView raw(m_data + m_pos, lineEnd - m_pos);
    m_pos = terminated ? lineEnd + 1 : lineEnd;
    m_scanned = 0;
    if (m_afterLf && raw.startsWith('\r'))
        raw = raw.sliced(1);
    if (raw.endsWith('\r'))
        raw.chop(1);
    m_afterLf = terminated;
    if (!terminated && raw.isEmpty())
        return Result::End;   // only the CR of a closing LF CR was left
    ++m_lineNumber;
    if (raw.size() > m_maxLine) {
        ++m_overlong;
        return Result::Overlong;
    }
    m_line = raw;
    return Result::Line;
}

LineReader::Result LineReader::skipOverlong()
{
    // Nothing of the line is kept: memory stays bounded by the limit plus one chunk.
    m_pos = m_end;
    m_scanned = 0;
    ++m_lineNumber;
    ++m_overlong;
    while (fill()) {
        const qsizetype lf = findLf(m_pos);
        if (lf >= 0) {
            m_pos = lf + 1;
            m_afterLf = true;
            return Result::Overlong;
        }
        m_pos = m_end;
    }
    m_afterLf = false;
    return Result::Overlong;
}

bool LineReader::fill()
{
    if (m_atEnd || !m_device)
        return false;
    const qsizetype keep = m_end - m_pos;
    if (m_pos > 0) {
        if (keep > 0)
            std::memmove(m_buffer.data(), m_buffer.constData() + m_pos, static_cast<std::size_t>(keep));
        m_pos = 0;
        m_end = keep;
    }
    if (m_buffer.size() < keep + m_chunk)
        m_buffer.resize(keep + m_chunk);
    const qint64 n = m_device->read(m_buffer.data() + keep, m_chunk);
    m_data = m_buffer.constData();
    if (n <= 0) {
        m_atEnd = true;
        m_readError = n < 0;
        return false;
    }
    m_end = keep + n;
    return true;
}

} // namespace aero::import
