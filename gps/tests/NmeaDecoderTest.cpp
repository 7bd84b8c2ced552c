// Sentence decoders compared as whole records, and the router's order of traces and events.
#include "GpsTestSupport.h"
#include "NmeaDecoder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>
#include <vector>

namespace {

using gps::Gsa;
using gps::Gsv;
using gps::Rmc;
using gps::Zda;
using gps_test::withChecksum;

const std::string RmcNorthEast = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A";

Rmc position(const char* hora, double lat, double lon, float speed, float course)
{
    return Rmc{true, hora, lat, lon, speed, course};
}

TEST(ParseRmc, DecodesPositionSpeedAndCourse)
{
    struct Row {
        const char* legend;
        std::string sentence;
        bool ignoreValid;
        std::optional<Rmc> expected;
    };
    const Rmc munich = position("12:35:19", 48.1173, 11.516666666666667, 41.0F, 84.4F);
    const Rmc voidRmc{false, "12:35:19", 0.0, 0.0, 0.0F, 0.0F};
    const std::vector<Row> rows = {
        {"north and east, 22.4 knots are 41 km/h", RmcNorthEast, false, munich},
        {"south and west are negative", withChecksum("GPRMC,123519,A,4807.038,S,01131.000,W,022.4,084.4,230394,003.1,W"),
         false, position("12:35:19", -48.1173, -11.516666666666667, 41.0F, 84.4F)},
        {"void without IgnoreValid: time and zeros", withChecksum("GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,,,"),
         false, voidRmc},
        {"void with IgnoreValid: reported as valid", withChecksum("GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,,,"),
         true, munich},
        {"void without IgnoreValid and nothing after the status", "$GPRMC,123519,V", false, voidRmc},
        {"no checksum decodes the same", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4", false, munich},
        {"a status other than V counts as valid", "$GPRMC,123519,X,4807.038,N,01131.000,E,022.4,084.4", false, munich},
        {"speed rounds down: 0.5 knots are 0.926 km/h", "$GPRMC,000000,A,0000.000,N,00000.000,E,0.5,0", false,
         position("00:00:00", 0.0, 0.0, 0.0F, 0.0F)},
        {"shortest splittable position", "$GPRMC,010203,A,48,N,011,E,,", false, position("01:02:03", 48.0, 11.0, 0.0F, 0.0F)},
        {"valid with empty position fields is dropped", "$GPRMC,123519,A,,,,,,", false, std::nullopt},
        {"latitude of one character is dropped", "$GPRMC,123519,A,4,N,01131.000,E,,", false, std::nullopt},
        {"longitude of two characters is dropped", "$GPRMC,123519,A,4807.038,N,01,E,,", false, std::nullopt},
        {"void with IgnoreValid and no position is dropped", "$GPRMC,123519,V,,,,,,", true, std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        EXPECT_EQ(gps::parseRmc(row.sentence, row.ignoreValid), row.expected);
    }
}

TEST(ParseZda, DecodesTimeDateAndZone)
{
    struct Row {
        const char* legend;
        std::string sentence;
        Zda expected;
    };
    const std::vector<Row> rows = {
        {"UTC, zone 0", "$GPZDA,201530.00,04,07,2002,00,00*60", {"20:15:30", "04/07/2002", 0.0F}},
        {"zone -05 and 30 adds the minutes: -4.5", withChecksum("GPZDA,201530.00,04,07,2002,-05,30"),
         {"20:15:30", "04/07/2002", -4.5F}},
        {"zone 05 and 30", withChecksum("GPZDA,201530.00,04,07,2002,05,30"), {"20:15:30", "04/07/2002", 5.5F}},
        {"date parts exactly as received", "$GPZDA,201530,4,7,02", {"20:15:30", "4/7/02", 0.0F}},
        {"no fields", "$GPZDA", {"::", "//", 0.0F}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        EXPECT_EQ(gps::parseZda(row.sentence), row.expected);
    }
}

TEST(ParseGsa, DecodesModeChannelsAndDop)
{
    struct Row {
        const char* legend;
        std::string sentence;
        Gsa expected;
    };
    Gsa typical{"3", {"04", "05", "", "09", "12", "", "", "24", "", "", "", "", "", ""}, 2.5F, 1.3F, 2.1F};
    Gsa full{"2", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "", ""}, 1.0F, 0.9F, 0.5F};
    const std::vector<Row> rows = {
        {"three-dimensional fix with empty slots", "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39", typical},
        {"twelve satellites, elements 12 and 13 stay empty", withChecksum("GPGSA,M,2,1,2,3,4,5,6,7,8,9,10,11,12,1.0,0.9,0.5"),
         full},
        {"no fields", "$GPGSA", Gsa{}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        EXPECT_EQ(gps::parseGsa(row.sentence), row.expected);
    }
}

Gsv satellites(float inView, std::vector<std::array<float, 4>> groups)
{
    Gsv gsv;
    gsv.InView = inView;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        gsv.Ids[i] = groups[i][0];
        gsv.Els[i] = groups[i][1];
        gsv.Azs[i] = groups[i][2];
        gsv.Sigs[i] = groups[i][3];
    }
    return gsv;
}

TEST(ParseGsv, DecodesTheSatellitesOfOneSentence)
{
    struct Row {
        const char* legend;
        std::string sentence;
        Gsv expected;
    };
    const std::vector<Row> rows = {
        {"four groups, slot 4 zero", withChecksum("GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00"),
         satellites(11, {{3, 3, 111, 0}, {4, 15, 270, 0}, {6, 1, 10, 0}, {13, 6, 292, 0}})},
        {"four groups without checksum", "$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00",
         satellites(11, {{3, 3, 111, 0}, {4, 15, 270, 0}, {6, 1, 10, 0}, {13, 6, 292, 0}})},
        {"two groups", withChecksum("GPGSV,3,3,11,22,42,067,42,24,14,311,43"),
         satellites(11, {{22, 42, 67, 42}, {24, 14, 311, 43}})},
        {"empty signal field reads 0", withChecksum("GPGSV,1,1,01,07,79,048,"), satellites(1, {{7, 79, 48, 0}})},
        {"no satellites: one empty group read", withChecksum("GPGSV,1,1,00"), satellites(0, {})},
        {"six groups: the sixth is read and ignored",
         withChecksum("GPGSV,1,1,06,01,10,100,31,02,20,200,32,03,30,300,33,04,40,040,34,05,50,050,35,06,60,060,36"),
         satellites(6, {{1, 10, 100, 31}, {2, 20, 200, 32}, {3, 30, 300, 33}, {4, 40, 40, 34}, {5, 50, 50, 35}})},
        {"no fields", "$GPGSV", Gsv{}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        EXPECT_EQ(gps::parseGsv(row.sentence), row.expected);
    }
}

TEST(ProcesarSentencia, RoutesByTagAndReportsInOrder)
{
    const std::string gsv = withChecksum("GPGSV,3,3,11,22,42,067,42,24,14,311,43");
    const std::string voidRmc = withChecksum("GPRMC,123519,V,,,,,,,,,");
    const std::string badRmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6B";
    const std::string nulRmc = std::string(RmcNorthEast).insert(20, 1, '\0');
    struct Row {
        const char* legend;
        std::string sentence;
        bool ignoreValid;
        std::vector<std::string> log;
    };
    const std::vector<Row> rows = {
        {"RMC: received text, then position", RmcNorthEast, false,
         {"debug Cadena recibida: " + RmcNorthEast, "Posicion 12:35:19"}},
        {"void RMC without IgnoreValid", voidRmc, false,
         {"debug Cadena recibida: " + voidRmc, "debug IgnoreValid = False", "Posicion 12:35:19"}},
        {"void RMC with IgnoreValid and no position: dropped after the traces", voidRmc, true,
         {"debug Cadena recibida: " + voidRmc, "debug IgnoreValid = True"}},
        {"wrong checksum: dropped with a trace", badRmc, false, {"debug Checksum incorrecto: " + badRmc}},
        {"a NUL in the latitude (the checksum cannot see it): dropped with a trace", nulRmc, false,
         {"debug Caracteres no imprimibles: " + nulRmc}},
        {"a byte above ASCII: dropped", "$GPZDA,201530.00,04,07,2002,00,00\xB0*60", false,
         {"debug Caracteres no imprimibles: $GPZDA,201530.00,04,07,2002,00,00\xB0*60"}},
        {"lower-case checksum digits are accepted", RmcNorthEast.substr(0, RmcNorthEast.size() - 1) + "a", false,
         {"debug Cadena recibida: " + RmcNorthEast.substr(0, RmcNorthEast.size() - 1) + "a", "Posicion 12:35:19"}},
        {"ZDA", "$GPZDA,201530.00,04,07,2002,00,00*60", false, {"FechaHora 20:15:30"}},
        {"GSA", "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39", false, {"SatDOP 3"}},
        {"GSV", gsv, false, {"SatelliteStatus 11"}},
        {"GGA gives nothing", "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47", false, {}},
        {"RMC from another talker gives nothing", withChecksum("GNRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,,,"),
         false, {}},
        {"GSV from GLONASS gives nothing", withChecksum("GLGSV,1,1,01,65,10,100,30"), false, {}},
        {"lower-case tag gives nothing", "$gprmc,123519,A,4807.038,N,01131.000,E,022.4,084.4", false, {}},
        {"partial tag gives nothing", "$GPRM", false, {}},
        {"tail of a sentence gives nothing", "4.4,230394,003.1,W*6A", false, {}},
        {"unknown type with a wrong checksum gives nothing", "$GPXYZ,1*00", false, {}},
        {"empty sentence gives nothing", "", false, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        gps_test::RecordingSink sink;
        gps::ProcesarSentencia(row.sentence, row.ignoreValid, sink);
        EXPECT_EQ(sink.log, row.log);
    }
}

// Today's multi-constellation receivers, their sentences written from the receivers' published
// sentence descriptions: a combined fix as $GN, satellites in view per system ($GP GPS, $GL
// GLONASS, $GA Galileo, $GB/$BD BeiDou), marine units as $IN, checksums in either case.
TEST(ProcesarSentencia, EveryGnssTalkerDecodesLikeGps)
{
    const auto lower = [](std::string s) {
        for (std::size_t i = s.size() - 2; i < s.size(); ++i)
            s[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(s[i])));
        return s;
    };
    const std::string gnRmc = withChecksum("GNRMC,083559.00,A,4717.11437,N,00833.91522,E,0.004,77.52,091202,,,A");
    const std::string gpRmcSameFix = withChecksum("GPRMC,083559.00,A,4717.11437,N,00833.91522,E,0.004,77.52,091202,,,A");
    const std::string gnRmcNext = withChecksum("GNRMC,083600.00,A,4717.11440,N,00833.91530,E,0.010,77.52,091202,,,A");
    const std::string inRmc = withChecksum("INRMC,210230,A,3855.4487,N,09446.0071,W,0.0,076.2,130495,003.8,E");
    const std::string gnGsa = withChecksum("GNGSA,A,3,80,71,73,79,69,,,,,,,,1.83,1.09,1.47,2");
    const std::string gpGsv1 = withChecksum("GPGSV,3,1,11,10,63,137,17,07,61,098,15,05,59,290,20,08,54,157,30");
    const std::string gpGsv2 = withChecksum("GPGSV,3,2,11,02,39,223,19,13,28,070,17,26,23,252,,04,14,186,14");
    const std::string glGsv = withChecksum("GLGSV,2,1,07,80,53,026,29,71,47,310,27,73,31,131,,79,26,091,18");
    const std::string gaGsv = withChecksum("GAGSV,1,1,03,02,40,120,33,11,22,310,28,30,65,045,38");
    const std::string gbGsv = withChecksum("GBGSV,1,1,02,07,55,210,36,10,18,040,24");
    const std::string bdGsv = withChecksum("BDGSV,1,1,01,14,30,100,31");
    struct Row {
        const char* legend;
        std::vector<std::string> sentences;
        std::vector<std::string> log;
    };
    const std::vector<Row> rows = {
        {"combined fix from every system", {gnRmc}, {"debug Cadena recibida: " + gnRmc, "Posicion 08:35:59"}},
        {"lower-case checksum digits", {lower(gnRmc)}, {"debug Cadena recibida: " + lower(gnRmc), "Posicion 08:35:59"}},
        {"marine integrated navigation", {inRmc}, {"debug Cadena recibida: " + inRmc, "Posicion 21:02:30"}},
        {"$GNRMC then $GPRMC of the same fix: one position, then the next second",
         {gnRmc, gpRmcSameFix, gnRmcNext},
         {"debug Cadena recibida: " + gnRmc, "Posicion 08:35:59", "debug RMC repetido: " + gpRmcSameFix,
          "debug Cadena recibida: " + gnRmcNext, "Posicion 08:36:00"}},
        {"GSA of the combined solution", {gnGsa}, {"SatDOP 3"}},
        {"GSV of three systems, a GPS sequence cut by GLONASS: each sentence on its own",
         {gpGsv1, gpGsv2, glGsv, lower(gaGsv)}, {"SatelliteStatus 11", "SatelliteStatus 11", "SatelliteStatus 7", "SatelliteStatus 3"}},
        {"BeiDou under both its talkers", {gbGsv, bdGsv}, {"SatelliteStatus 2", "SatelliteStatus 1"}},
        {"an unknown talker, a proprietary and a text sentence give nothing",
         {withChecksum("XXRMC,083559.00,A,4717.11437,N,00833.91522,E,0.004,77.52,091202,,,A"),
          withChecksum("PUBX,00,083559.00,4717.11437,N,00833.91522,E"), withChecksum("GNTXT,01,01,02,ANTSTATUS=OK")},
         {}},
        {"a wrong checksum from another talker is still dropped with a trace", {lower(glGsv).substr(0, glGsv.size() - 1) + "0"},
         {"debug Checksum incorrecto: " + lower(glGsv).substr(0, glGsv.size() - 1) + "0"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.legend);
        gps_test::RecordingSink sink;
        gps::RouterState state;
        state.talkers = gps::Talkers::AllGnss;
        for (const std::string& sentence : row.sentences)
            gps::ProcesarSentencia(sentence, state, sink);
        EXPECT_EQ(sink.log, row.log);
    }

    gps_test::RecordingSink sink;   // decoded exactly as the GPS talker's sentences
    gps::RouterState state;
    state.talkers = gps::Talkers::AllGnss;
    gps::ProcesarSentencia(gnRmc, state, sink);
    gps::ProcesarSentencia(glGsv, state, sink);
    EXPECT_EQ(sink.positions, (std::vector<Rmc>{gps::parseRmc(gpRmcSameFix, false).value()}));
    EXPECT_NEAR(sink.positions.front().Latitud, 47.2852395, 1e-9);
    EXPECT_NEAR(sink.positions.front().Longitud, 8.5652537, 1e-7);
    EXPECT_EQ(sink.satellites, (std::vector<Gsv>{satellites(7, {{80, 53, 26, 29}, {71, 47, 310, 27}, {73, 31, 131, 0}, {79, 26, 91, 18}})}));
    EXPECT_EQ(state.talker, "GL");
}

} // namespace
