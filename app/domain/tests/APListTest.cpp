#include "domain/APList.h"
#include "domain/AppError.h"

#include <QSet>
#include <gtest/gtest.h>

namespace aero {
namespace {

AccessPoint ap(const QString& ssid, const QString& mac = {})
{
    AccessPoint r;
    r.SSID = ssid;
    r.MAC = mac.isEmpty() ? QStringLiteral("MAC-") + ssid : mac;
    return r;
}

QStringList names(const APList& list)
{
    QStringList out;
    for (int i = 1; i <= list.count(); ++i)
        out << list.at(i).SSID;
    return out;
}

void fill(APList& list, const QStringList& ssids)
{
    list.NextAP = list.findFirstFree();
    int n = 0;
    for (const QString& s : ssids)
        list.append(ap(s, QStringLiteral("00:00:00:00:%1").arg(++n)));
}

TEST(APListDedupe, RepeatsGetThreeDigitSuffixesInSlotOrder)
{
    APList list;
    fill(list, {"a", "b", "c", "home", "x", "y", "z", "w", "home", "q", "r", "home"});
    list.DedupeSSIDs();
    EXPECT_EQ(list.at(4).SSID, "home");
    EXPECT_EQ(list.at(9).SSID, "home 001");
    EXPECT_EQ(list.at(12).SSID, "home 002");
}

TEST(APListDedupe, NameAlreadyHeldElsewhereIsSkippedSoEverySsidStaysUnique)
{
    struct Case {
        const char* legend;
        QStringList in;
        QStringList out;
    } cases[] = {
        {"pre-existing suffix after the repeats", {"home", "home", "home", "home 001"},
         {"home", "home 002", "home 003", "home 001"}},
        {"pre-existing suffix before the repeats", {"home 001", "home", "home"}, {"home 001", "home", "home 002"}},
        {"suffixed name repeated itself", {"home", "home 001", "home", "home 001"},
         {"home", "home 001", "home 002", "home 001 001"}},
        {"no collisions: exactly the classic result", {"linksys", "home", "linksys", "linksys"},
         {"linksys", "home", "linksys 001", "linksys 002"}},
        {"blank SSIDs", {"BLANK SSID", "BLANK SSID", "BLANK SSID"}, {"BLANK SSID", "BLANK SSID 001", "BLANK SSID 002"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.legend);
        APList list;
        fill(list, c.in);
        list.DedupeSSIDs();
        EXPECT_EQ(names(list), c.out);
        QSet<QString> unique(c.out.begin(), c.out.end());
        EXPECT_EQ(unique.size(), c.out.size());
    }
}

TEST(APListDedupe, FromOneThousandOnTheNumberHasFourDigits)
{
    APList list;
    QStringList many;
    for (int i = 0; i < 1002; ++i)
        many << "linksys";
    fill(list, many);
    list.DedupeSSIDs();
    EXPECT_EQ(list.at(1000).SSID, "linksys 999");
    EXPECT_EQ(list.at(1001).SSID, "linksys 1000");
    EXPECT_EQ(list.findBySSID("linksys 1000"), 1001);
}

TEST(APListMac, ContainsMacIsExactAndAnEmptyMacAlwaysMatchesTheFreeSlot)
{
    APList list;
    fill(list, {"a"});
    EXPECT_TRUE(list.containsMac("00:00:00:00:1"));
    EXPECT_FALSE(list.containsMac("00:00:00:00:2"));
    EXPECT_TRUE(list.containsMac(""));   // matches the empty MAC of the free slot
}

TEST(APListFreeSlots, TrashThenImportStartsAtSlotOneWithNoStaleFields)
{
    APList list;
    list.NextAP = 1;
    AccessPoint full = ap("old", "11:22");
    full.Latitude = 5;
    full.Flags = "0011";
    full.WEP = "1";
    list.append(full);
    list.append(ap("old2"));
    list.clear();
    list.NextAP = 0;
    EXPECT_EQ(list.findFirstFree(), 1);
    EXPECT_FALSE(list.containsMac("11:22"));
    EXPECT_EQ(list.findBySSID("old"), 0);
    list.NextAP = list.findFirstFree();
    AccessPoint kismet;
    kismet.SSID = "new";
    kismet.MAC = "33:44";
    list.append(kismet);
    EXPECT_EQ(list.at(1).Flags, "");
    EXPECT_EQ(list.at(1).Latitude, 0.0);
    EXPECT_EQ(list.at(2).SSID, "");
}

TEST(APListFull, AppendingPastTheLastSlotThrowsAndKeepsWhatWasWritten)
{
    APList list;
    list.NextAP = 1;
    for (int i = 0; i < APList::Capacity; ++i)
        list.append(ap(QString::number(i), QString::number(i)));
    EXPECT_EQ(list.count(), APList::Capacity);
    EXPECT_EQ(list.findFirstFree(), APList::Capacity + 1);
    try {
        list.append(ap("one too many"));
        FAIL() << "no error at the full table";
    } catch (const AppError& e) {
        EXPECT_EQ(e.code, errors::SubscriptOutOfRange);
    }
    EXPECT_EQ(list.at(APList::Capacity).SSID, QString::number(APList::Capacity - 1));
}

TEST(APListModify, IndexesFollowRenamesOfTheFirstHolder)
{
    APList list;
    fill(list, {"x", "dup", "dup"});
    list.modify(2, [](AccessPoint& r) { r.SSID = "renamed"; });
    EXPECT_EQ(list.findBySSID("dup"), 3);
    EXPECT_EQ(list.findBySSID("renamed"), 2);
    list.modify(3, [](AccessPoint& r) { r.MAC = "NEW"; });
    EXPECT_TRUE(list.containsMac("NEW"));
    EXPECT_FALSE(list.containsMac("00:00:00:00:3"));
}

} // namespace
} // namespace aero
