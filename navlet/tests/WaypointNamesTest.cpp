// Short unique waypoint names for uploaded access points.
#include "navlet/WaypointNames.h"

#include <gtest/gtest.h>

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
        {"the rule compares once per name: a renamed name may equal a later SSID", {"x", "x", "x001"}, 4, {"x", "x001", "x001"}},
        {"empty SSIDs are equal too", {"", ""}, 6, {"", "001"}},
        {"eight characters", {"CoffeeShop1", "CoffeeShop2"}, 8, {"CoffeeSh", "Coffe001"}},
        {"fewer than three characters still numbers", {"ab", "AB"}, 2, {"ab", "001"}},
        {"no SSIDs", {}, 6, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        EXPECT_EQ(makeWaypointNames(r.ssids, r.chars), r.names);
    }
}

TEST(WaypointNames, LaterDuplicatesOfARenamedNameAreNumberedByTheirOwnFirst)
{
    // "x001" (third) equals the renamed second, so the second's pass renames it again.
    EXPECT_EQ(makeWaypointNames({"x", "x", "x001", "x001"}, 4),
              (std::vector<QString>{"x", "x001", "x001", "x002"}));
}

} // namespace
