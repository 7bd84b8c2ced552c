// Character stream to sentences: line ends, trimming, split reads, garbage and the length bound.
#include "SentenceAssembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using gps::SentenceAssembler;

class Recorder : public SentenceAssembler::Sink {
public:
    void debugText(std::string_view prefix, std::string_view text) override
    {
        log.push_back(std::string(prefix) + std::string(text));
    }
    void sentence(std::string_view trimmed) override { log.push_back("S " + std::string(trimmed)); }
    std::vector<std::string> log;
};

std::vector<std::string> assemble(const std::vector<std::string>& chunks, SentenceAssembler& assembler)
{
    Recorder recorder;
    for (const std::string& chunk : chunks)
        assembler.feed(chunk, recorder);
    return recorder.log;
}

TEST(SentenceAssembler, SplitsOnCarriageReturns)
{
    using namespace std::string_literals;
    struct Row {
        const char* legend;
        std::vector<std::string> chunks;
        std::vector<std::string> log;
        std::string left;  // BufferRX afterwards
    };
    const std::vector<Row> rows = {
        {"two sentences back to back, each CR LF", {"$GPAAA,1\r\n$GPBBB,2\r\n"},
         {"RX=$GPAAA,1", "S $GPAAA,1", "RX=$GPBBB,2", "S $GPBBB,2"}, ""},
        {"line ends with nothing between raise nothing", {"\r\n\r\n\r\r\n\n"}, {}, ""},
        {"blanks stay in the RX text, not in the sentence", {"  $GPAAA,1  \r\n"}, {"RX=  $GPAAA,1  ", "S $GPAAA,1"}, ""},
        {"tabs are not blanks", {"\t$GPAAA\t\r"}, {"RX=\t$GPAAA\t", "S \t$GPAAA\t"}, ""},
        {"a line feed inside a sentence is dropped", {"$GPA\nAA,1\r"}, {"RX=$GPAAA,1", "S $GPAAA,1"}, ""},
        {"a sentence split over reads", {"$GPA", "AA,", "1", "\r", "\n"}, {"RX=$GPAAA,1", "S $GPAAA,1"}, ""},
        {"read split between CR and LF", {"$GPAAA,1\r", "\n$GPB", "BB\r\n"},
         {"RX=$GPAAA,1", "S $GPAAA,1", "RX=$GPBBB", "S $GPBBB"}, ""},
        {"text before the first CR is handed on as one sentence", {"4,W*6A\r\n$GPAAA\r\n"},
         {"RX=4,W*6A", "S 4,W*6A", "RX=$GPAAA", "S $GPAAA"}, ""},
        {"only blanks: RX text and an empty sentence", {"   \r"}, {"RX=   ", "S "}, ""},
        {"an unfinished sentence waits in BufferRX", {"$GPAAA,1\r\n$GPBB"}, {"RX=$GPAAA,1", "S $GPAAA,1"}, "$GPBB"},
        {"garbage bytes are kept as they are", {"\0\xff$G\x01P\r"s}, {"RX=\0\xff$G\x01P"s, "S \0\xff$G\x01P"s}, ""},
        {"LF-only line ends join lines until a CR", {"$GPAAA\n$GPBBB\n\r"}, {"RX=$GPAAA$GPBBB", "S $GPAAA$GPBBB"}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        SentenceAssembler assembler;
        EXPECT_EQ(assemble(row.chunks, assembler), row.log);
        EXPECT_EQ(assembler.BufferRX(), row.left);
    }
}

TEST(SentenceAssembler, DiscardsLongTextWithoutCarriageReturn)
{
    const std::string overflow(gps::OverflowText);
    const std::size_t max = SentenceAssembler::MaxBufferRX;
    struct Row {
        const char* legend;
        std::vector<std::string> chunks;
        std::vector<std::string> log;
        std::size_t left;
    };
    const std::string justFits(max - 1, 'x');
    const std::vector<Row> rows = {
        {"1023 characters still make a sentence", {justFits + "\r"}, {"RX=" + justFits, "S " + justFits}, 0},
        {"1024 characters are discarded at once", {std::string(max, 'x')}, {overflow}, 0},
        {"the CR after a discarded run finds nothing", {std::string(max, 'x'), "\r\n"}, {overflow}, 0},
        {"1500 characters: the tail becomes the next text", {std::string(1500, 'x') + "\r"},
         {overflow, "RX=" + std::string(1500 - max, 'x'), "S " + std::string(1500 - max, 'x')}, 0},
        {"2048 characters in small reads: two discards", std::vector<std::string>(256, "yyyyyyyy"), {overflow, overflow}, 0},
        {"the bound counts across reads", {std::string(1000, 'x'), std::string(30, 'x')}, {overflow}, 6},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        SentenceAssembler assembler;
        EXPECT_EQ(assemble(row.chunks, assembler), row.log);
        EXPECT_EQ(assembler.BufferRX().size(), row.left);
    }
}

TEST(SentenceAssembler, GoodSentencesAroundNoiseSurvive)
{
    // A burst of line noise at the wrong speed between two good sentences costs only the noise.
    SentenceAssembler assembler;
    std::string noise;
    for (int i = 0; i < 3000; ++i)
        noise.push_back(static_cast<char>('!' + (i * 37) % 90));
    const auto log = assemble({"$GPAAA,1\r\n", noise, "\r\n$GPBBB,2\r\n"}, assembler);
    ASSERT_GE(log.size(), 4U);
    EXPECT_EQ(log.front(), "RX=$GPAAA,1");
    EXPECT_EQ(log[1], "S $GPAAA,1");
    EXPECT_EQ(log[log.size() - 2], "RX=$GPBBB,2");
    EXPECT_EQ(log.back(), "S $GPBBB,2");
}

} // namespace
