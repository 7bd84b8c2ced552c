#include "domain/NumberText.h"

#include <gtest/gtest.h>
#include <clocale>

namespace aero {
namespace {

TEST(NumberText, GeneralFormHasNoTrailingZerosAndPointDecimal)
{
    struct Case {
        double value;
        int digits;
        const char* text;
    } cases[] = {
        {-66, 7, "-66"}, {-66.5, 7, "-66.5"}, {0, 7, "0"}, {37.7694283, 15, "37.7694283"},
        {-122.4176333, 15, "-122.4176333"}, {0.5, 15, "0.5"}, {0.00001, 15, "1E-05"},
        {1e15, 15, "1E+15"}, {-149, 7, "-149"}, {1.0 / 3.0, 7, "0.3333333"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(generalText(c.value, c.digits), QString::fromLatin1(c.text));
    }
}

TEST(NumberText, LeadingNumberTakesThePrefixWhateverTheLocale)
{
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");   // may be missing; the test holds either way
    EXPECT_DOUBLE_EQ(leadingNumber("-66 dBm"), -66);
    EXPECT_DOUBLE_EQ(leadingNumber("37.5abc"), 37.5);
    EXPECT_DOUBLE_EQ(leadingNumber("  4 5.5"), 45.5);
    EXPECT_DOUBLE_EQ(leadingNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(leadingNumber(""), 0);
    EXPECT_DOUBLE_EQ(leadingNumber("+3"), 3);
    EXPECT_DOUBLE_EQ(leadingNumber("-.5"), -0.5);
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace
} // namespace aero
