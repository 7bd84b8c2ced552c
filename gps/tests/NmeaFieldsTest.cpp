// Field scanner, number reader, time layout and checksum: the rules every decoder stands on.
#include "GpsTestSupport.h"
#include "NmeaFields.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>

#include <string>
#include <vector>

namespace {

using gps::FieldScanner;

std::vector<std::string> readFields(std::string_view sentence, int count)
{
    FieldScanner scanner(sentence);
    std::vector<std::string> fields;
    for (int i = 0; i < count; ++i)
        fields.emplace_back(scanner.LeerCampo());
    return fields;
}

TEST(LeerCampo, SplitsAtCommasAndCutsFieldsAtSixteenCharacters)
{
    struct Row {
        const char* legend;
        const char* sentence;
        std::vector<std::string> fields;
    };
    const std::vector<Row> rows = {
        {"plain fields, empty one between", "$GPXXX,a,bc,,d", {"a", "bc", "", "d", ""}},
        {"sixteen characters fit exactly", "$GPXXX,ABCDEFGHIJKLMNOP,x", {"ABCDEFGHIJKLMNOP", "x", ""}},
        {"a 17th character is skipped like a comma", "$GPXXX,ABCDEFGHIJKLMNOPQ,x", {"ABCDEFGHIJKLMNOP", "", "x"}},
        {"twenty characters: 18 to 20 become the next field", "$GPXXX,ABCDEFGHIJKLMNOPQRST,x",
         {"ABCDEFGHIJKLMNOP", "RST", "x"}},
        {"a checksum stays in the last field", "$GPXXX,1,2.1*39", {"1", "2.1*39", ""}},
        {"nothing after the tag", "$GPXXX", {"", ""}},
        {"tag without comma but with text", "$GPXXXabc", {"bc", ""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        EXPECT_EQ(readFields(row.sentence, static_cast<int>(row.fields.size())), row.fields);
    }
}

TEST(LeerCampo, PositionKeepsAdvancingPastTheEnd)
{
    // The satellite decoder stops on the position, so its course past the end matters.
    FieldScanner scanner("$GPXXX,abc");  // 10 characters
    EXPECT_EQ(scanner.position(), 8U);
    EXPECT_EQ(scanner.LeerCampo(), "abc");
    EXPECT_EQ(scanner.position(), 25U);  // 16 steps from 8, then one past the missing comma
    EXPECT_EQ(scanner.LeerCampo(), "");
    EXPECT_EQ(scanner.position(), 42U);

    FieldScanner commas("$GPXXX,a,b");
    commas.LeerCampo();
    EXPECT_EQ(commas.position(), 10U);
}

TEST(ValorNumerico, ReadsTheLeadingDecimalNumber)
{
    struct Row {
        const char* legend;
        const char* text;
        double value;
    };
    const std::vector<Row> rows = {
        {"empty field", "", 0.0},
        {"integer", "12", 12.0},
        {"minutes of a latitude", "07.038", 7.038},
        {"leading zeros", "022.4", 22.4},
        {"negative zone hours", "-05", -5.0},
        {"explicit plus", "+3", 3.0},
        {"blanks inside are skipped", " 1 2 . 5 ", 12.5},
        {"checksum after the number", "2.1*39", 2.1},
        {"only a checksum", "*39", 0.0},
        {"second point ends the number", "1.2.3", 1.2},
        {"comma is not a decimal point", "1,5", 1.0},
        {"letters", "abc", 0.0},
        {"sign alone", "-", 0.0},
        {"point alone", ".", 0.0},
        {"leading point", ".5", 0.5},
        {"trailing point", "5.", 5.0},
        {"negative fraction", "-.5", -0.5},
        {"no exponent", "1e5", 1.0},
        {"two signs", "--5", 0.0},
        {"sign after digits ends the number", "7-2", 7.0},
        {"negative zero reads as zero", "-0", 0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        EXPECT_DOUBLE_EQ(gps::ValorNumerico(row.text), row.value) << '"' << row.text << '"';
    }
}

TEST(ValorNumerico, AbsurdlyLongNumbersKeepTheirMagnitude)
{
    const std::string digits = "1" + std::string(199, '0');
    EXPECT_DOUBLE_EQ(gps::ValorNumerico(digits), 1e199);
    EXPECT_DOUBLE_EQ(gps::ValorNumerico("0." + std::string(300, '0') + "1"), 0.0);
    EXPECT_TRUE(std::isinf(gps::ValorNumerico("9" + std::string(400, '9'))));
}

TEST(ValorNumerico, AgreesWithTheLibraryConversionToTheLastBit)
{
    // Short numbers take a fast exact path; long ones the library's. Both must round alike.
    std::uint32_t state = 12345;
    const auto next = [&state] { return state = state * 1664525U + 1013904223U; };
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const std::size_t digits = 1 + next() % 24;
        const std::size_t dot = next() % (digits + 1);
        for (std::size_t d = 0; d < digits; ++d) {
            if (d == dot)
                text.push_back('.');
            text.push_back(static_cast<char>('0' + next() % 10));
        }
        double expected = 0.0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        ASSERT_EQ(gps::ValorNumerico(text), expected) << text;
    }
}

TEST(FormatoHora, LaysOutTheFirstSixCharacters)
{
    struct Row {
        const char* legend;
        const char* field;
        const char* text;
    };
    const std::vector<Row> rows = {
        {"whole seconds", "123519", "12:35:19"},
        {"fraction dropped", "123519.00", "12:35:19"},
        {"empty field", "", "::"},
        {"one character", "1", "1::1"},
        {"four characters: last two repeat", "1235", "12:35:35"},
        {"five characters", "12351", "12:35:51"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        EXPECT_EQ(gps::FormatoHora(row.field), row.text);
    }
}

TEST(Checksum, ComparesTheXorBetweenDollarAndStar)
{
    using gps::Checksum;
    struct Row {
        const char* legend;
        std::string sentence;
        Checksum expected;
    };
    const std::vector<Row> rows = {
        {"upper-case digits", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A", Checksum::Matches},
        {"lower-case digits", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6a", Checksum::Matches},
        {"one character changed", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,E*6A", Checksum::Mismatch},
        {"no checksum", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", Checksum::Absent},
        {"star not third from the end", "$GPGSA,A,3*3", Checksum::Absent},
        {"digits that are not hex", "$GPGSA,A,3*ZZ", Checksum::Mismatch},
        {"built by the test helper", gps_test::withChecksum("GPZDA,201530.00,04,07,2002,00,00"), Checksum::Matches},
        {"too short to carry one", "*A", Checksum::Absent},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        EXPECT_EQ(gps::checkChecksum(row.sentence), row.expected);
    }
}

} // namespace
