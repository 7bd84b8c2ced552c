#pragma once
// Splits survey text into lines, from a device or from bytes already in memory.
//
// Line ends seen in real logs: CR LF (Windows tools), LF, and LF CR (one family of Linux
// sniffer releases wrote "\n\r"), plus a last line ended by a lone CR or by nothing.
// A line longer than the limit is skipped whole and counted: the reader keeps at most
// limit + one chunk in memory, and scans every byte once, however long the line.
#include <QByteArray>
#include <QByteArrayView>

class QIODevice;

namespace aero::import {

class LineReader {
public:
    static constexpr qsizetype DefaultMaxLine = 64 * 1024;
    static constexpr qsizetype DefaultChunk = 64 * 1024;

    enum class Result { Line, Overlong, End };

    explicit LineReader(QIODevice& device, qsizetype maxLine = DefaultMaxLine,
                        qsizetype chunk = DefaultChunk);
    explicit LineReader(QByteArrayView bytes, qsizetype maxLine = DefaultMaxLine);

    // Reads the next line. Line: line() holds it without its line end.
    // Overlong: a line over the limit was passed over. End: nothing more to read.
    Result next();

    QByteArrayView line() const { return m_line; }   // valid until the next call
    qint64 lineNumber() const { return m_lineNumber; }  // 1-based, of the line just read
    qint64 overlongCount() const { return m_overlong; }
    bool readError() const { return m_readError; }

private:
    bool fill();                  // reads one more chunk; false at end of input
    Result skipOverlong();        // discards up to the next LF
    Result takeLine(qsizetype lineEnd, bool terminated);
    qsizetype findLf(qsizetype from) const;   // index of the next LF at or after `from`, or -1

    QIODevice* m_device = nullptr;
    QByteArray m_buffer;
    const char* m_data = nullptr;
    qsizetype m_pos = 0;          // start of the unread bytes
    qsizetype m_end = 0;          // end of the valid bytes
    qsizetype m_scanned = 0;      // bytes after m_pos already known to hold no LF
    qsizetype m_maxLine;
    qsizetype m_chunk = DefaultChunk;
    bool m_atEnd = false;
    bool m_afterLf = false;       // the previous line ended with LF: a CR now is its LF CR
    bool m_readError = false;
    QByteArrayView m_line;
    qint64 m_lineNumber = 0;
    qint64 m_overlong = 0;
};

} // namespace aero::import
