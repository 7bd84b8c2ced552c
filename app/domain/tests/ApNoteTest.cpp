#include "domain/ApSymbols.h"

#include <gtest/gtest.h>

namespace aero {
namespace {

// What a marker note carries must come back from it, so a map reopened rebuilds the same AP.
TEST(ApNote, ReadsBackWhatItWrote)
{
    struct Case {
        const char* legend;
        const char* mac;
        float signal;
        const char* wep;
        const char* mode;
    } cases[] = {
        {"open, infrastructure", "00:0F:66:2A:01:11", -40, "0", "1"},
        {"encrypted, ad-hoc", "AA:BB:CC:DD:EE:FF", -95, "1", "0"},
        {"a fractional signal", "00:00:00:00:00:01", -66.5f, "1", "1"},
        {"no signal at all", "00:00:00:00:00:02", 0, "0", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.legend);
        AccessPoint written;
        written.MAC = QString::fromLatin1(c.mac);
        written.Signal = c.signal;
        written.WEP = QString::fromLatin1(c.wep);
        written.Mode = QString::fromLatin1(c.mode);
        AccessPoint read;
        readApNote(apNote(written), read);
        EXPECT_EQ(read.MAC, written.MAC);
        EXPECT_EQ(read.Signal, written.Signal);
        EXPECT_EQ(read.WEP, written.WEP);
        EXPECT_EQ(read.Mode, written.Mode);
    }
}

} // namespace
} // namespace aero
