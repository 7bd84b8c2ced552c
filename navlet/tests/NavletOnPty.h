#pragma once
// A control on a real pseudo-terminal, with the test as the receiver and a recording prompt.
#include "navlet/Framing.h"
#include "navlet/Navlet.h"

#include "RecordingPrompt.h"
#include "ReceiverSide.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace navlet_test {

class NavletOnPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(receiver.isValid());
        navlet.setDevicePath(receiver.devicePath());
        navlet.setPrompt(prompt.prompt());
        navlet.PortOpen();
        ASSERT_TRUE(navlet.isPortOpen());
    }
    void TearDown() override { navlet.PortClose(); }

    // Sends one packet and waits until the control has taken it.
    void deliver(std::uint8_t id, const QByteArray& data, bool corrupt = false)
    {
        QSignalSpy received(&navlet, &navlet::Navlet::Receive);
        receiver.sendPacket(id, data, corrupt);
        ASSERT_TRUE(received.wait(5000));
    }

    QByteArray takeOne()
    {
        const auto packets = receiver.takePackets(1);
        return packets.empty() ? QByteArray() : packets.front();
    }

    static QByteArray packet(std::uint8_t id, const QByteArray& data)
    {
        return navlet::withChecksum(navlet::buildPacket(id, data));
    }

    ReceiverSide receiver;
    RecordingPrompt prompt;
    navlet::Navlet navlet;
};

} // namespace navlet_test
