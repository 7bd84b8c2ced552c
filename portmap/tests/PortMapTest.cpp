#include "PortMap.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PortMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }
    QTemporaryDir m_dir;
};

TEST_F(PortMapTest, DefaultsCoverUsbAcmAndOnboardPorts)
{
    EXPECT_EQ(portmap::devicePath(1), "/dev/ttyUSB0");
    EXPECT_EQ(portmap::devicePath(3), "/dev/ttyACM0");
    EXPECT_EQ(portmap::devicePath(8), "/dev/ttyS3");
}

TEST_F(PortMapTest, StoredDeviceWinsAndShortNamesResolveBelowDev)
{
    portmap::setDevicePath(2, "pts/7");
    EXPECT_EQ(portmap::devicePath(2), "/dev/pts/7");
    portmap::setDevicePath(2, "  /dev/rfcomm0 ");
    EXPECT_EQ(portmap::devicePath(2), "/dev/rfcomm0");
}

TEST_F(PortMapTest, NumbersOutsideTheMenuNeverMapToARealDevice)
{
    EXPECT_EQ(portmap::devicePath(0), "COM0");
    EXPECT_EQ(portmap::devicePath(9), "COM9");
}

} // namespace
