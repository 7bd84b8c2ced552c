#include "domain/FilterRules.h"

#include <gtest/gtest.h>

namespace aero {
namespace {

AccessPoint ap(const char* ssid, const char* mac, float signal, const char* mode = "1", const char* wep = "0")
{
    AccessPoint r;
    r.SSID = ssid;
    r.MAC = mac;
    r.Signal = signal;
    r.Mode = mode;
    r.WEP = wep;
    return r;
}

FilterRow row(FilterField f, FilterCondition c, const char* v) { return {f, c, v}; }

TEST(FilterRules, EachFieldAndConditionMarksWhatFailsIt)
{
    using F = FilterField;
    using C = FilterCondition;
    struct Case {
        const char* legend;
        AccessPoint ap;
        FilterRow row;
        bool fails;
    } cases[] = {
        {"signal -71 is below 'greater than -70'", ap("a", "m", -71), row(F::Signal, C::GreaterThan, "-70"), true},
        {"signal -70 equals the value: never marked", ap("a", "m", -70), row(F::Signal, C::GreaterThan, "-70"), false},
        {"signal -70 with 'less than'", ap("a", "m", -70), row(F::Signal, C::LessThan, "-70"), false},
        {"signal -60 above 'less than -70'", ap("a", "m", -60), row(F::Signal, C::LessThan, "-70"), true},
        {"signal equals", ap("a", "m", -66), row(F::Signal, C::Equals, "-66 dBm"), false},
        {"signal contains its text", ap("a", "m", -66), row(F::Signal, C::Contains, "66"), false},
        {"signal does not contain", ap("a", "m", -66), row(F::Signal, C::Contains, "7"), true},
        {"SSID contains LINK in capitals keeps linksys", ap("linksys", "m", 0), row(F::SSID, C::Contains, "LINK"), false},
        {"SSID contains LINK marks home", ap("home", "m", 0), row(F::SSID, C::Contains, "LINK"), true},
        {"SSID equals is exact and case-sensitive", ap("Home", "m", 0), row(F::SSID, C::Equals, "home"), true},
        {"SSID greater than compares text", ap("alpha", "m", 0), row(F::SSID, C::GreaterThan, "beta"), true},
        {"SSID less than ignores case", ap("Alpha", "m", 0), row(F::SSID, C::LessThan, "beta"), false},
        {"MAC equals differs only in case", ap("a", "00:0a", 0), row(F::MAC, C::Equals, "00:0A"), true},
        {"MAC contains ignores case", ap("a", "00:0a:bc", 0), row(F::MAC, C::Contains, "0A:B"), false},
        {"WEP equals 1 marks an open AP", ap("a", "m", 0, "1", "0"), row(F::WEP, C::Equals, "1"), true},
        {"WEP equals 1 keeps an encrypted AP", ap("a", "m", 0, "1", "1"), row(F::WEP, C::Equals, "1"), false},
        {"mode contains behaves as equals", ap("a", "m", 0, "0"), row(F::Mode, C::Contains, "1"), true},
        {"mode greater than marks nothing", ap("a", "m", 0, "0"), row(F::Mode, C::GreaterThan, "1"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(failsRow(c.ap, c.row), c.fails);
    }
}

TEST(FilterRules, BandSecurityAndSeenAskWhatTheLogsSaid)
{
    using F = FilterField;
    using C = FilterCondition;
    Observation five;
    five.band = Band::GHz5;
    five.security = SecurityClass::WPA3;
    five.firstSeen = 1781181000000;   // 2026-06-11 12:30 UTC
    five.lastSeen = 1781267400000;    // 2026-06-12 12:30 UTC
    const Observation nothing;
    struct Case {
        const char* legend;
        const Observation& seen;
        FilterRow row;
        bool fails;
    } cases[] = {
        {"band equals 5", five, row(F::Band, C::Equals, "5"), false},
        {"band equals 2.4", five, row(F::Band, C::Equals, "2.4 GHz"), true},
        {"band greater than 2.4", five, row(F::Band, C::GreaterThan, "2.4"), false},
        {"band less than 5", five, row(F::Band, C::LessThan, "5"), false},
        {"unknown band fails", nothing, row(F::Band, C::Equals, "5"), true},
        {"security equals ignores case", five, row(F::Security, C::Equals, "wpa3"), false},
        {"security contains WPA keeps WPA3", five, row(F::Security, C::Contains, "WPA"), false},
        {"security equals WEP", five, row(F::Security, C::Equals, "WEP"), true},
        {"security greater than marks nothing", five, row(F::Security, C::GreaterThan, "WEP"), false},
        {"seen between overlapping days", five, row(F::Seen, C::Equals, "2026-06-12..2026-06-30"), false},
        {"seen between later days", five, row(F::Seen, C::Equals, "2026-06-13..2026-06-30"), true},
        {"seen on one day", five, row(F::Seen, C::Contains, "2026-06-11"), false},
        {"last seen after", five, row(F::Seen, C::GreaterThan, "2026-06-12"), true},
        {"first seen before", five, row(F::Seen, C::LessThan, "2026-06-12"), false},
        {"an unreadable date fails", five, row(F::Seen, C::Equals, "last week"), true},
        {"never seen fails", nothing, row(F::Seen, C::Equals, "2026-06-11"), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        EXPECT_EQ(failsRow(ap("a", "m", 0), c.row, c.seen), c.fails);
    }
}

TEST(FilterRules, LinksCombineRowsOneThenTwoThenThree)
{
    FilterDefinition d;
    d.rows[0] = row(FilterField::SSID, FilterCondition::Contains, "link");
    d.rows[1] = row(FilterField::Signal, FilterCondition::GreaterThan, "-70");
    d.rows[2] = row(FilterField::WEP, FilterCondition::Equals, "1");
    const AccessPoint weakLinksys = ap("linksys", "m", -80, "1", "1");
    const AccessPoint strongHome = ap("home", "m", -50, "1", "0");

    EXPECT_TRUE(passes(weakLinksys, d));   // link None: row 1 alone, rows 2 and 3 ignored
    d.link1 = FilterLink::And;
    EXPECT_FALSE(passes(weakLinksys, d));
    d.link1 = FilterLink::Or;
    EXPECT_TRUE(passes(strongHome, d));
    d.link2 = FilterLink::And;
    EXPECT_FALSE(passes(strongHome, d));   // (false or true) and false
    d.link1 = FilterLink::And;
    d.link2 = FilterLink::Or;
    EXPECT_TRUE(passes(weakLinksys, d));   // (true and false) or true
}

TEST(FilterRules, ValidationStopsAtTheFirstMissingPiece)
{
    FilterDefinition d;
    EXPECT_EQ(validationMessage(d), "Please select a valid field for the first filter definition.");
    d.rows[0].field = FilterField::SSID;
    EXPECT_EQ(validationMessage(d), "Please select a valid filter condition for the first filter definition.");
    d.rows[0].condition = FilterCondition::Contains;
    EXPECT_EQ(validationMessage(d), "Please enter valid data for the first filter definition.");
    d.rows[0].value = "x";
    d.rows[1].value = "ignored while the link is None";
    EXPECT_EQ(validationMessage(d), "");
    d.link1 = FilterLink::And;
    EXPECT_EQ(validationMessage(d), "Please select a valid field for the second filter definition.");
    d.rows[1] = row(FilterField::MAC, FilterCondition::Equals, "y");
    d.link2 = FilterLink::Or;
    d.rows[2] = row(FilterField::MAC, FilterCondition::Equals, "");
    EXPECT_EQ(validationMessage(d), "Please enter valid data for the third filter definition.");
}

} // namespace
} // namespace aero
