// The three questions of the link, with the supervision timer shrunk to milliseconds.
#include "NavletOnPty.h"

#include "navlet/Framing.h"

using namespace navlet;
using navlet_test::NavletOnPty;

namespace {

class LinkPrompt : public NavletOnPty {
protected:
    // A 10 ms tick: six silent ticks in 60 ms. Only for the tests about silence, so that a
    // slow machine cannot raise the question in the middle of the others.
    void shrinkTime() { navlet.setTimeScale({0.01}); }

    QByteArray command(std::uint8_t code) { return packet(10, QByteArray(1, static_cast<char>(code)) + '\0'); }
};

TEST_F(LinkPrompt, SixNaksInARowAskWhetherToRetry)
{
    navlet.Request_Tracks();
    const QByteArray request = takeOne();
    prompt.answers = {PromptAnswer::Retry, PromptAnswer::Cancel};
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "answer Retry: resend" : "answer Cancel: reset");
        for (int nak = 1; nak <= 5; ++nak) {
            deliver(21, QByteArray(1, 10));
            EXPECT_EQ(takeOne(), request);
        }
        deliver(21, QByteArray(1, 10));
        ASSERT_EQ(prompt.calls.size(), static_cast<std::size_t>(round + 1));
        EXPECT_EQ(prompt.calls.back().text, "Unable to communicate with GPS.");
        EXPECT_EQ(prompt.calls.back().buttons, PromptButtons::RetryCancel);
        EXPECT_EQ(takeOne(), round == 0 ? request : command(0));
    }
    EXPECT_FALSE(navlet.link().timerActive());
}

TEST_F(LinkPrompt, SixBadChecksumsInARowAskAbortRetryIgnore)
{
    struct Row { const char* legend; PromptAnswer answer; QByteArray reply; };
    const Row rows[] = {
        {"Retry: the NAK goes out as usual", PromptAnswer::Retry, packet(21, QByteArray(1, 34))},
        {"Ignore: only the ACK, no NAK after it", PromptAnswer::Ignore, packet(6, QByteArray(1, 34))},
        {"Abort: the link is reset", PromptAnswer::Abort, command(0)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.legend);
        prompt.calls.clear();
        prompt.answers = {r.answer};
        for (int bad = 1; bad <= 5; ++bad) {
            deliver(34, QByteArray(13, '\0'), /*corrupt=*/true);
            EXPECT_EQ(takeOne(), packet(21, QByteArray(1, 34)));
        }
        deliver(34, QByteArray(13, '\0'), /*corrupt=*/true);
        ASSERT_EQ(prompt.calls.size(), 1u);
        EXPECT_EQ(prompt.calls[0].text, "Invalid message received from GPS.");
        EXPECT_EQ(prompt.calls[0].buttons, PromptButtons::AbortRetryIgnore);
        // A marker packet shows nothing else was sent in between.
        navlet.Request_Waypoints();
        const auto packets = receiver.takePackets(2);
        ASSERT_EQ(packets.size(), 2u);
        EXPECT_EQ(packets[0], r.reply);
        EXPECT_EQ(packets[1], command(7));
        EXPECT_EQ(navlet.link().linkErrorCount(), 0);
    }
}

TEST_F(LinkPrompt, SixSilentTicksAskWhetherToResend)
{
    shrinkTime();
    navlet.Request_Tracks();
    const QByteArray request = takeOne();
    prompt.answers = {PromptAnswer::Retry, PromptAnswer::Cancel};
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompt.calls.size() == 1; }, 5000));
    EXPECT_EQ(prompt.calls[0].text,
              "No response from Navlet.\r\nClick Retry to resend last packet\r\nClick Cancel to reset.");
    EXPECT_EQ(prompt.calls[0].buttons, PromptButtons::RetryCancel);
    // Each silent tick before the question sent the unanswered request again, and so does Retry.
    const auto beforeRetry = receiver.takePackets(6);
    EXPECT_EQ(beforeRetry.size(), 6u);
    for (const QByteArray& p : beforeRetry)
        EXPECT_EQ(p, request);
    ASSERT_TRUE(QTest::qWaitFor([&] { return prompt.calls.size() == 2; }, 5000));
    std::vector<QByteArray> afterRetry;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (const QByteArray& p : receiver.takePackets(1, std::chrono::milliseconds(10)))
            afterRetry.push_back(p);
        return !afterRetry.empty() && afterRetry.back() == command(0);
    }, 5000)) << "Cancel sends the reset packet";
    EXPECT_FALSE(navlet.link().timerActive());
}

TEST_F(LinkPrompt, SilenceIsNotQuestionedAfterPowerOff)
{
    shrinkTime();
    navlet.Power_Off();
    EXPECT_EQ(takeOne(), command(8));
    EXPECT_FALSE(navlet.link().timerActive());
    QTest::qWait(200); // twenty ticks' worth
    EXPECT_TRUE(prompt.calls.empty());
}

TEST_F(LinkPrompt, TicksRunningOutWhileAPromptIsOpenDoNotStackPrompts)
{
    shrinkTime();
    navlet.Request_Tracks();
    takeOne();
    int open = 0;
    int most = 0;
    navlet.setPrompt([&](const QString&, PromptButtons) {
        most = std::max(most, ++open);
        QTest::qWait(150); // a user reading the box while ticks keep coming
        --open;
        return PromptAnswer::Cancel;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return most > 0 && open == 0; }, 5000));
    EXPECT_EQ(most, 1);
}

TEST_F(LinkPrompt, WhatArrivesWhileAQuestionIsOpenIsBounded)
{
    shrinkTime();
    navlet.Request_Tracks();
    takeOne();
    qsizetype backlog = -1;
    navlet.setPrompt([&](const QString&, PromptButtons) {
        receiver.sendRaw(QByteArray(100000, 'x')); // a receiver that keeps talking
        EXPECT_TRUE(QTest::qWaitFor([&] { return navlet.link().bufferedBytes() >= 65536; }, 5000));
        backlog = navlet.link().bufferedBytes();
        return PromptAnswer::Cancel;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return backlog >= 0; }, 5000));
    EXPECT_EQ(backlog, 65536);
}

TEST_F(LinkPrompt, FiftyOneBadNmeaChecksumsWarnOnce)
{
    const QByteArray bad = "$GPGLL,1*00\r\n";
    QSignalSpy sentences(&navlet, &Navlet::NMEA);
    QByteArray burst;
    for (int i = 0; i < 51; ++i)
        burst += bad;
    receiver.sendRaw(burst);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sentences.size() == 51; }, 5000));
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].text,
              "There have been more than 50 check sum errors.\r\nVerify that your receiver is putting out check sums.");
    EXPECT_EQ(prompt.calls[0].buttons, PromptButtons::Ok);
    EXPECT_EQ(navlet.link().nmeaErrorCount(), 0);
    navlet.PortClose(); // no "No response" question after the sentences stop
}

} // namespace
