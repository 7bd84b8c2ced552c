#include "domain/NumberText.h"
#include "domain/SurveyNumber.h"

#include <QString>

#include <gtest/gtest.h>

namespace {

// The byte conversion must give exactly what the program's text conversion gives.
TEST(SurveyNumber, AgreesWithTheProgramsTextConversion)
{
    const struct {
        const char* legend;
        QByteArray text;
        double expected;
    } cases[] = {
        {"latitude", "37.7694283", 37.7694283},
        {"signal", "83", 83},
        {"sign", "-66 dBm", -66},
        {"plus sign", "+12", 12},
        {"blanks before and inside", " 1 2.5", 12.5},
        {"tab", "\t7", 7},
        {"stops at a letter", "12abc", 12},
        {"stops at a second point", "1.2.3", 1.2},
        {"no digits", "abc", 0},
        {"sign only", "-", 0},
        {"point only", ".", 0},
        {"leading point", ".5", 0.5},
        {"second sign ends it", "-+3", 0},
        {"sign after digits ends it", "3-4", 3},
        {"empty", "", 0},
        {"a bracket", "]", 0},
        {"a very long number", QByteArray(100, '9'), 1e100},
        {"a long fraction", "0." + QByteArray(80, '3'), 1.0 / 3},
        {"NUL stops it", QByteArray("5\0" "6", 3), 5},
        {"a Windows-1252 digit lookalike stops it", "4\xB2", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_DOUBLE_EQ(aero::import::leadingNumber(c.text), c.expected);
        EXPECT_EQ(aero::import::leadingNumber(c.text), aero::leadingNumber(QString::fromLatin1(c.text)));
    }
}

} // namespace
