#pragma once
// Port number n (1-8, shown as "COMn:") names a serial device. The device comes from the
// user's settings, group "Ports", key "COMn", so a receiver on /dev/ttyUSB0 is simply "COM1".
#include <QString>

namespace portmap {

inline constexpr int FirstPort = 1;
inline constexpr int LastPort = 8;

// Device used when the settings name none.
QString defaultDevice(int port);

// Device of port `port` from the settings; a number outside 1..8 is taken as a literal
// device name "COMn" that will not open, so callers report the failure as usual.
QString devicePath(int port);

void setDevicePath(int port, const QString& device);

// A typed path may be a full path, "pts/3" or "ttyUSB0": resolve it below /dev.
QString normalizeDevice(const QString& typed);

} // namespace portmap
