#pragma once
// Every interval the control waits on, in one place, with a scale tests shrink so a
// three-second reconnect is exercised in milliseconds.
namespace gps::timing {

inline constexpr int GpsdReconnectMs = 3000;
inline constexpr int GpsdConnectTimeoutMs = 3000;

void setScale(double scale);
double scale();
// `ms` times the scale, at least 1.
int scaled(int ms);

} // namespace gps::timing
