// Short unique waypoint names for uploaded access points.
#include "navlet/WaypointNames.h"

#include <QSet>
#include <gtest/gtest.h>

using navlet::firstRepeatedName;
using navlet::makeWaypointNames;

namespace {

TEST(WaypointNames, CutAndMadeUnique)
{
    struct Row { const char* legend; std::vector<QString> ssids; int chars; std::vector<QString> names; };
    const Row rows[] = {
        {"names equal ignoring case get a number", {"HomeNetwork", "homenetwork2"}, 6, {"HomeNe", "hom001"}},
        {"three equal names: first kept, then 001 and 002", {"linksys", "linksys", "Linksys-g"}, 6,
         {"linksy", "lin001", "Lin002"}},
        {"short and distinct names stay", {"a", "b", "abc"}, 6, {"a", "b", "abc"}},
        {"a number is skipped when a later SSID already has that name", {"x", "x", "x001"}, 4, {"x", "x002", "x001"}},
        {"two groups sharing a stem never meet on one number", {"NETGEAR", "NETGEAR", "NETWORK", "netwORK"}, 6,
         {"NETGEA", "NET001", "NETWOR", "net002"}},
        {"empty SSIDs are equal too", {"", ""}, 6, {"", "001"}},
        {"names equal after the receiver trims blanks", {"ab ", "ab"}, 6, {"ab ", "ab001"}},
        {"eight characters", {"CoffeeShop1", "CoffeeShop2"}, 8, {"CoffeeSh", "Coffe001"}},
        {"fewer than three characters number within them", {"ab", "AB", "Ab"}, 2, {"ab", "01", "02"}},
        {"one character runs on into letters", {"a", "a", "a", "a", "a", "a", "a", "a", "a", "a", "a"}, 1,
         {"a", "1", "2", "3", "4", "5", "6", "7", "8", "9", "B"}},
        {"no SSIDs", {}, 6, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        const auto names = makeWaypointNames(r.ssids, r.chars);
        EXPECT_EQ(names, r.names);
        EXPECT_FALSE(firstRepeatedName(names));
    }
}

TEST(WaypointNames, ManyNamesSharingTheirFirstCharactersStayDistinctAfterTheReceiversCut)
{
    // D100 keeps six characters, whatever the setting.
    const int length = navlet::waypointNameLength(10, QStringLiteral("D100"));
    EXPECT_EQ(length, 6);
    EXPECT_EQ(navlet::waypointNameLength(10, QStringLiteral("D108")), 10);
    std::vector<QString> ssids;
    for (int i = 0; i < 1500; ++i)
        ssids.push_back(i % 3 == 0 ? QStringLiteral("NET%1").arg(i % 7) : QStringLiteral("Network-%1").arg(i));
    ssids.push_back(QStringLiteral("net002")); // an SSID that looks like a made-up name
    const auto names = makeWaypointNames(ssids, length);
    QSet<QString> seen;
    for (const QString& n : names) {
        EXPECT_LE(n.size(), length);
        seen.insert(n.toUpper());
    }
    EXPECT_EQ(seen.size(), static_cast<qsizetype>(names.size()));
    EXPECT_EQ(names.back(), "net002");
    // Out of names: 40 equal SSIDs in one character cannot all differ.
    EXPECT_TRUE(firstRepeatedName(makeWaypointNames(std::vector<QString>(40, "a"), 1)));
}

TEST(WaypointNames, ReducedToWhatTheFormatStoresBeforeTheyAreMadeUnique)
{
    struct Row { const char* legend; std::vector<QString> ssids; const char* format; int chars; std::vector<QString> names; };
    const Row rows[] = {
        {"accents and quotes folded to ASCII", {u"Caf\u00E9 \u2019n\u2018 \u201EBar\u201C"_qs}, "D108", 20,
         {"Cafe 'n' \"Bar\""}},
        {"what has no ASCII form becomes '-'", {u"\u20AC\u6771\u4EAC \u041C\u0438\u0440"_qs}, "D108", 10, {"--- ---"}},
        {"six capitals: case applied, other signs replaced", {u"Stra\u00DFe_1"_qs}, "D103", 6, {"STRASS"}},
        {"names equal once reduced are numbered", {u"Caf\u00E9"_qs, "cafe", "CAFE", u"\u6771\u4EAC"_qs, u"\u5927\u962A"_qs},
         "D103", 6, {"CAFE", "CAF001", "CAF002", "--", "--001"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        const auto names = makeWaypointNames(r.ssids, r.chars, QString::fromLatin1(r.format));
        EXPECT_EQ(names, r.names);
        EXPECT_FALSE(firstRepeatedName(names));
    }
}

} // namespace
