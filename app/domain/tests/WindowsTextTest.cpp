#include "domain/WindowsText.h"

#include <gtest/gtest.h>

using aero::import::fromWindows1252;
using aero::import::trimSpaces;

namespace {

struct DecodeCase {
    const char* legend;
    QByteArray bytes;
    QString expected;
};

TEST(WindowsText, DecodesEveryRangeOfTheCodePage)
{
    const DecodeCase cases[] = {
        {"plain ASCII passes through", "linksys", QStringLiteral("linksys")},
        {"0x80 is the euro sign, not a C1 control", "Caf\x80", QStringLiteral(u"Caf\u20AC")},
        {"0xE9 is e acute, as in Latin-1", "Caf\xE9", QStringLiteral(u"Caf\u00E9")},
        {"typographic quotes 0x93/0x94", "\x93home\x94", QStringLiteral(u"\u201Chome\u201D")},
        {"0x8A and 0x9A are S/s caron", "\x8A\x9A", QStringLiteral(u"\u0160\u0161")},
        {"0x9F is Y diaeresis", "\x9F", QStringLiteral(u"\u0178")},
        {"undefined 0x81 keeps its number", "\x81\x8D\x8F\x90\x9D",
         QStringLiteral(u"\u0081\u008D\u008F\u0090\u009D")},
        {"0xA0-0xFF follow Latin-1", "\xA0\xFF", QStringLiteral(u"\u00A0\u00FF")},
        {"NUL is kept as a character", QByteArray("a\0b", 3), QString(QChar(u'a')) + QChar(0) + QChar(u'b')},
        {"empty", "", QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(fromWindows1252(c.bytes), c.expected);
    }
}

TEST(WindowsText, TheWholeHighHalfDecodesToOneCharacterPerByte)
{
    QByteArray all;
    for (int b = 0x80; b <= 0xFF; ++b)
        all.append(static_cast<char>(b));
    const QString text = fromWindows1252(all);
    ASSERT_EQ(text.size(), all.size());
    EXPECT_EQ(text.at(0), QChar(0x20AC));
    EXPECT_EQ(text.at(0x99 - 0x80), QChar(0x2122));   // trade mark sign
    EXPECT_EQ(text.at(0xE9 - 0x80), QChar(0xE9));
}

TEST(WindowsText, TrimsOnlySpaces)
{
    EXPECT_EQ(trimSpaces("  home  "), QByteArrayView("home"));
    EXPECT_EQ(trimSpaces("    "), QByteArrayView(""));
    EXPECT_EQ(trimSpaces("\thome\t"), QByteArrayView("\thome\t"));
    EXPECT_EQ(trimSpaces(""), QByteArrayView(""));
}

} // namespace
