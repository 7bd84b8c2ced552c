#pragma once
// Window sizes are kept in twips, as the program's settings store them: 15 twips = 1 logical pixel.
namespace aero {

inline constexpr int TwipsPerPixel = 15;

} // namespace aero
