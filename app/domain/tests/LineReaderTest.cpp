#include "ImportTestSupport.h"
#include "domain/LineReader.h"

#include <QBuffer>
#include <QStringList>

#include <gtest/gtest.h>

using aero::import::LineReader;

namespace {

// Lines as "text", an overlong line as "<overlong>", each with its line number.
QStringList readAll(LineReader& reader)
{
    QStringList out;
    for (;;) {
        const auto r = reader.next();
        if (r == LineReader::Result::End)
            return out;
        const QString text = r == LineReader::Result::Line ? QString::fromLatin1(reader.line())
                                                           : QStringLiteral("<overlong>");
        out << QString::number(reader.lineNumber()) + QLatin1Char(':') + text;
    }
}

struct SplitCase {
    const char* legend;
    QByteArray bytes;
    QStringList expected;
    qsizetype maxLine = LineReader::DefaultMaxLine;
};

const SplitCase splitCases[] = {
    {"CR LF", "one\r\ntwo\r\n", {"1:one", "2:two"}},
    {"LF", "one\ntwo\n", {"1:one", "2:two"}},
    {"LF CR, as one sniffer family wrote", "one\n\rtwo\n\r", {"1:one", "2:two"}},
    {"LF CR with an empty line", "one\n\r\n\rtwo\n\r", {"1:one", "2:", "3:two"}},
    {"CR LF with an empty line", "one\r\n\r\ntwo\r\n", {"1:one", "2:", "3:two"}},
    {"last line without line end", "one\r\ntwo", {"1:one", "2:two"}},
    {"last line ended by a lone CR", "one\r\ntwo\r", {"1:one", "2:two"}},
    {"empty input", "", {}},
    {"only a line end", "\r\n", {"1:"}},
    {"NUL bytes stay inside the line", QByteArray("a\0b\r\nc\n", 7), {QString::fromLatin1("1:a\0b", 5), "2:c"}},
    {"a lone CR inside a line is kept", "a\rb\n", {"1:a\rb"}},
    {"line at the limit is kept", "12345\nab\n", {"1:12345", "2:ab"}, 5},
    {"line over the limit is skipped", "123456\nab\n", {"1:<overlong>", "2:ab"}, 5},
    {"overlong last line without end", "ab\n1234567890", {"1:ab", "2:<overlong>"}, 5},
    {"CR LF does not count against the limit", "12345\r\nab\r\n", {"1:12345", "2:ab"}, 5},
};

TEST(LineReader, SplitsFromMemory)
{
    for (const auto& c : splitCases) {
        SCOPED_TRACE(c.legend);
        LineReader reader(QByteArrayView(c.bytes), c.maxLine);
        EXPECT_EQ(readAll(reader), c.expected);
    }
}

TEST(LineReader, SplitsTheSameWhateverTheReadSize)
{
    for (const auto& c : splitCases) {
        for (const qsizetype chunk : {1, 2, 3, 7, 64 * 1024}) {
            SCOPED_TRACE(std::string(c.legend) + ", chunk " + std::to_string(chunk));
            QBuffer buffer;
            buffer.setData(c.bytes);
            ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
            LineReader reader(buffer, c.maxLine, chunk);
            EXPECT_EQ(readAll(reader), c.expected);
            EXPECT_FALSE(reader.readError());
        }
    }
}

TEST(LineReader, SkipsAMegabyteLineAndKeepsTheLinesAround)
{
    QByteArray bytes = "before\r\n";
    bytes += QByteArray(1024 * 1024, 'x') + "\r\nafter\r\n";
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    LineReader reader(buffer);
    EXPECT_EQ(readAll(reader), (QStringList{"1:before", "2:<overlong>", "3:after"}));
    EXPECT_EQ(reader.overlongCount(), 1);
}

TEST(LineReader, ReportsADeviceThatCannotBeRead)
{
    QBuffer closed;   // never opened: every read fails
    LineReader reader(closed);
    EXPECT_EQ(reader.next(), LineReader::Result::End);
    EXPECT_TRUE(reader.readError());
}

} // namespace
