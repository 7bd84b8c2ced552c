// NMEA sentences on the receiver line: checksum, the NMEA event, and sharing the line with
// binary frames.
#include "NavletOnPty.h"

#include "navlet/Framing.h"
#include "navlet/NmeaText.h"

using namespace navlet;
using navlet_test::NavletOnPty;

namespace {

const QString Gll = QStringLiteral("$GPGLL,4916.45,N,12311.12,W,225444,A");

QString withSum(const QString& s) { return s + "*" + nmeaChecksum(s); }

TEST(NmeaChecksum, Values)
{
    struct Row { const char* legend; QString msg; QString sum; };
    const Row rows[] = {
        {"up to the star", "$GPGLL*00", QStringLiteral("%1").arg('G' ^ 'P' ^ 'G' ^ 'L' ^ 'L', 2, 16, QLatin1Char('0')).toUpper()},
        {"without a star: to the end", "$GPGLL", nmeaChecksum("$GPGLL*FF")},
        {"a leading zero", "$AB", "03"},
        {"only the dollar", "$", "00"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        EXPECT_EQ(nmeaChecksum(r.msg), r.sum);
    }
}

TEST(NmeaChecksum, CheckSentence)
{
    struct Row { const char* legend; QString sentence; bool ignore; bool chkerr; bool error; };
    const Row rows[] = {
        {"correct checksum", withSum(Gll), false, true, false},
        {"correct checksum in lower-case hex", "$GPGLL,1*4d", false, true, false},
        {"wrong checksum", Gll + "*00", false, false, true},
        {"no checksum", Gll, false, false, false},
        {"star not third from the end", Gll + "*0", false, false, false},
        {"ignored: even a correct one gives false", withSum(Gll), true, false, false},
        {"ignored: a wrong one is not counted", Gll + "*00", true, false, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        const NmeaCheck c = checkSentence(r.sentence, r.ignore);
        EXPECT_EQ(c.chkerr, r.chkerr);
        EXPECT_EQ(c.countsAsError, r.error);
    }
}

using NmeaLine = NavletOnPty;

TEST_F(NmeaLine, SentencesReachTheNmeaEventWithTheirCheckResult)
{
    QSignalSpy sentences(&navlet, &Navlet::NMEA);
    // The first sentence after opening has no line feed in front of it.
    receiver.sendRaw((withSum(Gll) + "\r\n" + Gll + "*00\r\n" + Gll + "\r\n$GPRMC,1").toLatin1());
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentences.size() == 3; }, 5000));
    EXPECT_EQ(sentences.at(0), (QList<QVariant>{withSum(Gll), true}));
    EXPECT_EQ(sentences.at(1), (QList<QVariant>{Gll + "*00", false}));
    EXPECT_EQ(sentences.at(2), (QList<QVariant>{Gll, false}));
    EXPECT_EQ(navlet.link().nmeaErrorCount(), 1);
    EXPECT_TRUE(navlet.link().nmeaMode());
    EXPECT_TRUE(navlet.link().timerActive()) << "a receiver that stops talking is noticed";
    receiver.sendRaw(",2*00\r\n");
    ASSERT_TRUE(sentences.wait(5000));
    EXPECT_EQ(sentences.at(3).at(0).toString(), "$GPRMC,1,2*00");
    navlet.PortClose();
}

TEST_F(NmeaLine, IgnoreCheckSumGivesFalseAndCountsNothing)
{
    navlet.setIgnoreCheckSum(true);
    QSignalSpy sentences(&navlet, &Navlet::NMEA);
    receiver.sendRaw((withSum(Gll) + "\r\n" + Gll + "*00\r\n").toLatin1());
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentences.size() == 2; }, 5000));
    EXPECT_FALSE(sentences.at(0).at(1).toBool());
    EXPECT_FALSE(sentences.at(1).at(1).toBool());
    EXPECT_EQ(navlet.link().nmeaErrorCount(), 0);
    navlet.PortClose();
}

TEST_F(NmeaLine, SentencesAndFramesShareTheLine)
{
    QSignalSpy sentences(&navlet, &Navlet::NMEA);
    QSignalSpy received(&navlet, &Navlet::Receive);
    // A frame whose data holds "$...\r\n" is a frame, not a sentence.
    const QByteArray frameWithDollar = receiver.wire(12, QByteArray("$GP\r\n"));
    receiver.sendRaw((withSum(Gll) + "\r\n").toLatin1() + frameWithDollar + (withSum(Gll) + "\r\n").toLatin1());
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentences.size() == 2 && received.size() == 1; }, 5000));
    EXPECT_EQ(received.at(0).at(0).toInt(), 12);
    EXPECT_EQ(takeOne(), packet(6, QByteArray(1, 12)));
    navlet.PortClose();
}

} // namespace
