#include "GpsTiming.h"

#include <algorithm>
#include <cmath>

namespace gps::timing {

namespace {
double g_scale = 1.0;
} // namespace

void setScale(double scale) { g_scale = scale > 0.0 ? scale : 1.0; }

double scale() { return g_scale; }

int scaled(int ms) { return std::max(1, static_cast<int>(std::lround(ms * g_scale))); }

} // namespace gps::timing
