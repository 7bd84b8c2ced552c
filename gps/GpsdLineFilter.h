#pragma once
// gpsd interleaves its own JSON reports ("{...}" lines) with the relayed NMEA sentences.
// This keeps the NMEA lines and ends each with a carriage return, the sentence end the
// assembler expects; it streams, so a long JSON line never needs buffering.
#include <string>
#include <string_view>

namespace gps {

class GpsdLineFilter {
public:
    // Appends the NMEA part of `in` to `out`.
    void filter(std::string_view in, std::string& out);
    // A new connection starts at the beginning of a line.
    void reset();

private:
    bool m_lineStart = true;
    bool m_skipping = false;
};

} // namespace gps
