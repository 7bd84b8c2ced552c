#include "domain/ActComparison.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace aero {
namespace {

QByteArray summary(const QList<QByteArray>& lines)
{
    QByteArray out = "# $Creator: Network Stumbler Version 0.4.0\r\n# $Format: wi-scan summary with extensions\r\n"
                     "# Latitude\tLongitude\t( SSID )\tType\t( BSSID )\tTime (GMT)\t[ SNR Sig Noise ]\t# ( Name )\tFlags\r\n";
    for (const auto& l : lines)
        out += l + "\r\n";
    return out;
}

// signal and noise in dBm; the file holds them + 149.
QByteArray ap(const char* ssid, const char* mac, int snr, int signal, int noise)
{
    return QByteArray("N 45.5000000\tE 7.2500000\t( ") + ssid + " )\tBSS\t( " + mac + " )\t12:00:00 (GMT)\t[ "
           + QByteArray::number(snr) + " " + QByteArray::number(signal + 149) + " " + QByteArray::number(noise + 149)
           + " ]\t# ( )\t0011\t0040\t100";
}

int load(ActComparison& act, const QByteArray& bytes, int k)
{
    QBuffer b;
    b.setData(bytes);
    b.open(QIODevice::ReadOnly);
    return act.readLog(b, k);
}

TEST(ActComparison, LogsJoinByMacAndTiesShareThePoint)
{
    ActComparison act;
    ASSERT_EQ(load(act, summary({ap("home", "00:00:00:00:00:01", 30, -60, -95)}), 1), 0);
    ASSERT_EQ(load(act, summary({ap("home", "00:00:00:00:00:01", 30, -60, -90)}), 2), 0);
    ASSERT_EQ(load(act, summary({ap("home", "00:00:00:00:00:01", 20, -70, -90)}), 3), 0);
    act.score();
    ASSERT_EQ(act.rows().size(), 1u);
    const ActRow& r = act.rows()[0];
    EXPECT_TRUE(r.best[0][0]);
    EXPECT_TRUE(r.best[0][1]);
    EXPECT_FALSE(r.best[0][2]);
    // signal: logs 1,2; SNR: logs 1,2; noise (highest wins): logs 2,3
    EXPECT_EQ(r.score, (std::array<int, 3>{2, 3, 1}));
    EXPECT_DOUBLE_EQ(r.logs[0]->signal, -60);
    EXPECT_DOUBLE_EQ(r.logs[0]->latitude, 45.5);
}

TEST(ActComparison, MissedApsScoreZeroAndApsOnlyInLaterLogsAreScoredToo)
{
    ActComparison act;
    load(act, summary({ap("a", "00:00:00:00:00:01", 30, -60, -95), ap("b", "00:00:00:00:00:02", 30, -60, -95)}), 1);
    load(act, summary({ap("b", "00:00:00:00:00:02", 20, -70, -95), ap("c", "00:00:00:00:00:03", 10, -80, -95)}), 2);
    load(act, summary({ap("c", "00:00:00:00:00:03", 15, -75, -96), ap("a", "00:00:00:00:00:01", 5, -85, -99)}), 3);
    act.score();
    ASSERT_EQ(act.rows().size(), 3u);
    EXPECT_EQ(act.rows()[0].score[1], 0);   // log 2 missed "a"
    EXPECT_EQ(act.rows()[2].ssid, "c");     // only in logs 2 and 3, appended after log 1's rows
    EXPECT_EQ(act.rows()[2].score[0], 0);
    EXPECT_EQ(act.rows()[2].score[1], 1);   // noise
    EXPECT_EQ(act.rows()[2].score[2], 2);   // signal and SNR

    act.keepOnlyInAll({true, true, true});
    EXPECT_TRUE(act.rows().empty());
}

TEST(ActComparison, OnlyInAllLogsKeepsRowsSeenByEveryLoadedLog)
{
    ActComparison act;
    load(act, summary({ap("a", "00:00:00:00:00:01", 30, -60, -95), ap("b", "00:00:00:00:00:02", 30, -60, -95)}), 1);
    load(act, summary({ap("b", "00:00:00:00:00:02", 20, -70, -95)}), 2);
    act.keepOnlyInAll({true, true, false});
    ASSERT_EQ(act.rows().size(), 1u);
    EXPECT_EQ(act.rows()[0].ssid, "b");
}

TEST(ActComparison, NotASummaryLoadsNothing)
{
    ActComparison act;
    EXPECT_EQ(load(act, "hello\r\nwi-scan summary\r\n", 1), -1);
    EXPECT_EQ(load(act, "# Network Stumbler\r\nsomething else\r\n", 1), -2);
    EXPECT_TRUE(act.rows().empty());
}

TEST(ActComparison, RampSlotStaysInsideTheRamp)
{
    EXPECT_EQ(ActComparison::rampSlot(-60), 30);
    EXPECT_EQ(ActComparison::rampSlot(-200), 0);
    EXPECT_EQ(ActComparison::rampSlot(-1), 50);
}

} // namespace
} // namespace aero
